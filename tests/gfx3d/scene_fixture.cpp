// The 3-D drawing tests' fixture and mesh helpers.
#include "scene_fixture.h"

#include <cmath>

#include "gfx2d/gl_state_cache.h"
#include "runtime/services/runtime_error.h"

namespace scenetest {

::testing::AssertionResult near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        if (d > tolerance) {
            return ::testing::AssertionFailure() << std::hex << "0x" << a << " is not within " << std::dec
                                                 << tolerance << " of 0x" << std::hex << b;
        }
    }
    return ::testing::AssertionSuccess();
}

MeshVertex vertex(float x, float y, float z, float nx, float ny, float nz, float u, float v) {
    MeshVertex m{};
    m.x = x, m.y = y, m.z = z;
    m.nx = nx, m.ny = ny, m.nz = nz;
    m.u = u, m.v = v;
    m.red = m.green = m.blue = m.alpha = 1.0f;
    return m;
}

void addFrame(MeshObjectX& part, const MeshVertex* vertices, int count) {
    MeshFrame frame;
    MeshVertex opening{};
    opening.colour = 0xFFFFFFFFu;
    frame.nodes.append(opening);
    float centre[3] = {0, 0, 0};
    for (int i = 0; i < count; ++i) {
        frame.nodes.append(vertices[i]);
        frame.triangles.append(vertices[i]);
        centre[0] += vertices[i].x / count;
        centre[1] += vertices[i].y / count;
        centre[2] += vertices[i].z / count;
    }
    float radius = 0.0f;
    for (int i = 0; i < count; ++i) {
        const float dx = vertices[i].x - centre[0], dy = vertices[i].y - centre[1], dz = vertices[i].z - centre[2];
        radius = std::fmax(radius, std::sqrt(dx * dx + dy * dy + dz * dz));
    }
    frame.radius = radius;
    for (int k = 0; k < 3; ++k) frame.centre[k] = centre[k];
    part.frames.append(frame);
}

MeshObjectX partFromTriangles(const MeshVertex* vertices, int count) {
    MeshObjectX part;
    addFrame(part, vertices, count);
    part.baseTriangles.copyFrom(part.frames.data[0].triangles);
    return part;
}

MeshObjectX square(float half, float z, float cx, float cy) {
    const float l = cx - half, r = cx + half, b = cy - half, t = cy + half;
    const MeshVertex v[6] = {vertex(l, t, z, 0, 0, 1, 0, 0), vertex(l, b, z, 0, 0, 1, 0, 1),
                             vertex(r, b, z, 0, 0, 1, 1, 1), vertex(l, t, z, 0, 0, 1, 0, 0),
                             vertex(r, b, z, 0, 0, 1, 1, 1), vertex(r, t, z, 0, 0, 1, 1, 0)};
    return partFromTriangles(v, 6);
}

MeshObjectX cube(float h) {
    // Each face: its normal axis and sign; corners counter-clockwise seen from outside.
    MeshVertex v[36];
    int n = 0;
    for (int axis = 0; axis < 3; ++axis) {
        for (float sign : {1.0f, -1.0f}) {
            const int a = (axis + 1) % 3, b = (axis + 2) % 3;
            float corners[4][3];
            const float sa[4] = {-1, 1, 1, -1}, sb[4] = {-1, -1, 1, 1};
            for (int c = 0; c < 4; ++c) {
                corners[c][axis] = sign * h;
                corners[c][a] = sa[c] * h * sign;
                corners[c][b] = sb[c] * h;
            }
            float normal[3] = {0, 0, 0};
            normal[axis] = sign;
            for (int c : {0, 1, 2, 0, 2, 3}) {
                v[n++] = vertex(corners[c][0], corners[c][1], corners[c][2], normal[0], normal[1], normal[2]);
            }
        }
    }
    return partFromTriangles(v, 36);
}

void Scene::SetUp() {
    testsupport::EngineOptions options;
    options.width = kSize;
    options.height = kSize;
    ASSERT_TRUE(testsupport::startTestEngine(folder.path(), options));
    g = engine.graphics2D;
    r = engine.graphics3D;
    ASSERT_NE(r, nullptr);
    g->clear(0);
    clearErrorCode();
}

void Scene::TearDown() {}

void Scene::put(int32_t slot, const MeshObjectX& part) {
    Object3DSlot& s = r->objects.data[slot];
    s.parts.clear(true);
    s.parts.append(part);
    s.used = 1;
    s.multiPart = 0;
}

void Scene::solidSprite(int32_t sprite, uint32_t pixel) {
    DecodedImage image;
    image.width = image.height = 16;
    image.pixels.assign(256, pixel);
    ASSERT_TRUE(g->setSpriteImage(sprite, image));
}

}  // namespace scenetest
