// The fixture of the 3-D drawing tests: the engine started offscreen on a
// 64 x 64 window cleared to black, with its renderer, and helpers that put
// hand-made mesh parts into object slots and read pixels back (0xAABBGGRR,
// window pixels from the top).
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine_harness.h"
#include "gfx2d/decoded_image.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx3d/rainbows3d.h"
#include "runtime/engine/engine_state.h"
#include "temp_dir.h"

namespace scenetest {

constexpr int kSize = 64;

// Every channel of a within `tolerance` of b.
::testing::AssertionResult near(uint32_t a, uint32_t b, int tolerance);

// One vertex at (x, y, z) with the normal and texture coordinates given, white.
MeshVertex vertex(float x, float y, float z, float nx = 0, float ny = 0, float nz = 1, float u = 0, float v = 0);

// A part of one frame from a triangle list: frame 0's nodes hold an opening
// break node and the vertices, its triangles the list; the draw array is a
// copy; centre and radius bound the vertices.
MeshObjectX partFromTriangles(const MeshVertex* vertices, int count);
// Adds a frame of the same shape to the part.
void addFrame(MeshObjectX& part, const MeshVertex* vertices, int count);
// A square of side 2 x half in the plane z, facing +z (counter-clockwise
// seen from +z), texture coordinates 0..1 from the top left.
MeshObjectX square(float half, float z, float cx = 0, float cy = 0);
// A cube of side 2 x half about the origin, faces outward, counter-clockwise.
MeshObjectX cube(float half);

class Scene : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Slot n gets the part (as its only part), used 1.
    void put(int32_t slot, const MeshObjectX& part);
    uint32_t px(int32_t x, int32_t y) { return testsupport::readFramePixel(x, y); }
    // A 16 x 16 sprite of one colour (0xAABBGGRR).
    void solidSprite(int32_t sprite, uint32_t pixel);

    testsupport::TempDir folder;
    OpenGLRainbows* g = nullptr;
    Rainbows3D* r = nullptr;
};

}  // namespace scenetest
