// Mesh fixtures shared by the 3-D data suites.
#include "mesh_fixtures.h"

#include <cstring>

#include "gfx3d/ddd_binary.h"
#include "gfx3d/mesh_model.h"
#include "gfx3d/object_building.h"
#include "runtime/engine/engine_state.h"

namespace meshtest {

void fillTriangleList(MeshObjectX& part, const std::vector<Vec3>& corners, uint32_t colour) {
    part.clear(true);
    part.frames.reserve(1);
    part.frames.count = 1;
    RtVector<MeshVertex>& nodes = part.frames.data[0].nodes;
    nodes.append(makeBreakNode(kRunList));
    for (const Vec3& c : corners) {
        MeshVertex v{};
        v.x = c.x;
        v.y = c.y;
        v.z = c.z;
        v.nz = 1.0f;
        setVertexColour(v, colour);
        nodes.append(v);
    }
    part.buildPalette();
    part.buildFaces();
    part.computeFrameBounds();
}

std::vector<Vec3> cubeCorners(float h) {
    const Vec3 p[8] = {{-h, -h, -h}, {h, -h, -h}, {h, h, -h}, {-h, h, -h},
                       {-h, -h, h},  {h, -h, h},  {h, h, h},  {-h, h, h}};
    // Each face as two triangles, counter-clockwise from outside.
    const int faces[6][4] = {{4, 5, 6, 7}, {1, 0, 3, 2}, {5, 1, 2, 6}, {0, 4, 7, 3}, {7, 6, 2, 3}, {0, 1, 5, 4}};
    std::vector<Vec3> out;
    for (const auto& f : faces) {
        for (int k : {f[0], f[1], f[2], f[0], f[2], f[3]}) out.push_back(p[k]);
    }
    return out;
}

std::vector<Vec3> floorCorners(float y, float h) {
    return {{-h, y, h}, {h, y, h}, {h, y, -h}, {-h, y, h}, {h, y, -h}, {-h, y, -h}};
}

RendererFixture::RendererFixture() : renderer_(new Rainbows3D(nullptr)) {
    engine.graphics3D = renderer_;
    lastHitVertex = -1;
    buildSlot = -1;
}

RendererFixture::~RendererFixture() {
    engine.graphics3D = nullptr;
    delete renderer_;
    buildSlot = -1;
}

MeshObjectX& RendererFixture::putTriangles(int32_t s, const std::vector<Vec3>& corners) {
    Object3DSlot& slot = *renderer_->slot(s);
    slot.parts.reserve(1);
    slot.parts.count = 1;
    fillTriangleList(slot.parts.data[0], corners);
    slot.used = 1;
    return slot.parts.data[0];
}

Bytes& Bytes::u8(uint8_t v) {
    data.push_back(static_cast<char>(v));
    return *this;
}
Bytes& Bytes::u32(uint32_t v) {
    for (int s = 0; s < 32; s += 8) data.push_back(static_cast<char>((v >> s) & 0xFF));
    return *this;
}
Bytes& Bytes::i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
Bytes& Bytes::f32(float v) {
    uint32_t bits = 0;
    std::memcpy(&bits, &v, 4);
    return u32(bits);
}
Bytes& Bytes::f64(double v) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, 8);
    u32(static_cast<uint32_t>(bits));
    return u32(static_cast<uint32_t>(bits >> 32));
}

Bytes dddHeader(double version, int32_t frames, int32_t paletteSize, int32_t pairs) {
    Bytes b;
    b.i32(kDddMagic).f64(version).i32(frames).i32(paletteSize).i32(pairs);
    return b;
}

std::vector<Vec3> nodePositions(const MeshObject& mesh, int32_t frame) {
    std::vector<Vec3> out;
    const RtVector<MeshVertex>& nodes = mesh.frames.data[frame].nodes;
    for (int32_t i = 0; i < nodes.count; ++i) out.push_back(positionOf(nodes.data[i]));
    return out;
}

}  // namespace meshtest
