// Small meshes with known triangles for the mesh, format and collision
// suites, a renderer without a GL context installed as the engine's one,
// and little-endian byte builders for .ddd files.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "gfx3d/rainbows3d.h"
#include "gfx3d/vec3.h"

namespace meshtest {

// One frame: a list run (break node, then the corners of each triangle in
// order), its palette, triangles and bounds. Colour of every corner: `colour`.
void fillTriangleList(MeshObjectX& part, const std::vector<Vec3>& corners, uint32_t colour = 0x00FFFFFFu);

// The twelve triangles (36 corners) of the axis-aligned cube
// from -h to h, outward-facing, counter-clockwise seen from outside.
std::vector<Vec3> cubeCorners(float h);

// A floor square at height y from -h to h in x and z, as two triangles.
std::vector<Vec3> floorCorners(float y, float h);

// A renderer on no 2-D context, installed as engine.graphics3D for the
// fixture's life (and its transforms and lastHitVertex reset).
class RendererFixture {
public:
    RendererFixture();
    ~RendererFixture();
    RendererFixture(const RendererFixture&) = delete;
    RendererFixture& operator=(const RendererFixture&) = delete;
    Rainbows3D& renderer() { return *renderer_; }
    // Slot s holding one part made by fillTriangleList; used 1.
    MeshObjectX& putTriangles(int32_t s, const std::vector<Vec3>& corners);

private:
    Rainbows3D* renderer_;
};

// Bytes of a .ddd file.
struct Bytes {
    std::string data;
    Bytes& u8(uint8_t v);
    Bytes& i32(int32_t v);
    Bytes& u32(uint32_t v);
    Bytes& f32(float v);
    Bytes& f64(double v);
};

// The header of a binary file: magic, version and the three counts.
Bytes dddHeader(double version, int32_t frames, int32_t paletteSize, int32_t pairs);

// The node positions of frame f.
std::vector<Vec3> nodePositions(const MeshObject& mesh, int32_t frame);

}  // namespace meshtest
