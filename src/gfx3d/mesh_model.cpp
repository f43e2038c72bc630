// The mesh model's colour rule and break nodes, and the two whole-mesh
// operations that are pure geometry: frame bounds and scaling.
#include "gfx3d/mesh_model.h"

#include <cmath>

#include "gfx3d/vec3.h"

void setVertexColour(MeshVertex& vertex, uint32_t colour) {
    vertex.colour = colour;
    if (colour >= kFirstMarkerColour) {
        vertex.red = vertex.green = vertex.blue = vertex.alpha = 1.0f;
        return;
    }
    vertex.red = static_cast<float>(colour & 0xFF) / 255.0f;
    vertex.green = static_cast<float>((colour >> 8) & 0xFF) / 255.0f;
    vertex.blue = static_cast<float>((colour >> 16) & 0xFF) / 255.0f;
    vertex.alpha = 1.0f;
}

MeshVertex makeBreakNode(uint32_t runKind) {
    MeshVertex node{};
    node.colour = runKind;
    node.red = node.green = node.blue = node.alpha = 1.0f;
    return node;
}

void MeshObject::computeFrameBounds() {
    for (int32_t f = 0; f < frames.count; ++f) {
        MeshFrame& frame = frames.data[f];
        const RtVector<MeshVertex>& t = frame.triangles;
        Vec3 centre;
        if (t.count > 0) {
            Vec3 sum;
            for (int32_t i = 0; i < t.count; ++i) sum = sum + positionOf(t.data[i]);
            centre = sum * static_cast<float>(1.0 / t.count);
        }
        float radius = 0.0f;
        for (int32_t i = 0; i < t.count; ++i) {
            float d = lengthOrZero(positionOf(t.data[i]) - centre);
            if (d > radius) radius = d;
        }
        store(centre, frame.centre);
        frame.radius = std::fabs(radius);
    }
}

namespace {

void multiply(float& x, float& y, float& z, const Vec3& by) {
    x *= by.x;
    y *= by.y;
    z *= by.z;
}

void multiply(float (&v)[3], const Vec3& by) { multiply(v[0], v[1], v[2], by); }

// The position by `factors`; the normal, tangent and bitangent by `directions`.
void scaleVertex(MeshVertex& v, const Vec3& factors, const Vec3& directions) {
    multiply(v.x, v.y, v.z, factors);
    multiply(v.nx, v.ny, v.nz, directions);
    multiply(v.tangent, directions);
    multiply(v.bitangent, directions);
}

}  // namespace

void MeshObject::scale(float sx, float sy, float sz) {
    const Vec3 factors{sx, sy, sz};
    // Directions of the nodes keep their sense: only the factors' direction applies.
    const Vec3 unit = normalisedOrKept(factors);
    for (int32_t f = 0; f < frames.count; ++f) {
        MeshFrame& frame = frames.data[f];
        for (int32_t i = 0; i < frame.triangles.count; ++i) scaleVertex(frame.triangles.data[i], factors, factors);
        for (int32_t i = 0; i < frame.nodes.count; ++i) scaleVertex(frame.nodes.data[i], factors, unit);
    }
    computeFrameBounds();
}
