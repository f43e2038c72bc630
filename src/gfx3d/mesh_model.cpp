// The mesh model's colour rule and break nodes, and the two whole-mesh
// operations that are pure geometry: frame bounds and scaling.
//
// Departure: scaling keeps normals, tangents and bitangents unit length
// (normals by the inverse transpose of the scale), where the factors alone
// left lit meshes too bright or too dark with GL_NORMALIZE off.
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

Vec3 times(const Vec3& a, const Vec3& b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }

// Factors that turn directions alike, their largest 1 in size (so that tiny
// factors leave no direction too short to be made unit length again).
Vec3 directionFactors(const Vec3& f) {
    const float largest = std::fmax(std::fabs(f.x), std::fmax(std::fabs(f.y), std::fabs(f.z)));
    return largest > 0.0f ? f / largest : f;
}

// The direction times `by`, made unit length again (a zero result stays zero).
void scaleDirection(float& x, float& y, float& z, const Vec3& by) {
    const Vec3 d = normalisedOrKept(times({x, y, z}, by), 0.0f);
    x = d.x;
    y = d.y;
    z = d.z;
}

void scaleDirection(float (&v)[3], const Vec3& by) { scaleDirection(v[0], v[1], v[2], by); }

// The position by the factors; the normal by `normals`; the tangent and
// bitangent, which run along the surface, by `alongSurface`.
void scaleVertex(MeshVertex& v, const Vec3& factors, const Vec3& normals, const Vec3& alongSurface) {
    v.x *= factors.x;
    v.y *= factors.y;
    v.z *= factors.z;
    scaleDirection(v.nx, v.ny, v.nz, normals);
    scaleDirection(v.tangent, alongSurface);
    scaleDirection(v.bitangent, alongSurface);
}

}  // namespace

void MeshObject::scale(float sx, float sy, float sz) {
    const Vec3 factors{sx, sy, sz};
    // A normal follows the inverse transpose of the scale: the cofactors
    // (sy sz, sx sz, sx sy) with the determinant's sign, which need no
    // division, so a factor of 0 flattens the normals with the mesh; a mirror
    // keeps them pointing out.
    const Vec3 along = directionFactors(factors);
    const float sign = ((sx < 0.0f) != (sy < 0.0f)) != (sz < 0.0f) ? -1.0f : 1.0f;
    const Vec3 normals = directionFactors(Vec3{along.y * along.z, along.x * along.z, along.x * along.y} * sign);
    for (int32_t f = 0; f < frames.count; ++f) {
        MeshFrame& frame = frames.data[f];
        for (int32_t i = 0; i < frame.triangles.count; ++i) {
            scaleVertex(frame.triangles.data[i], factors, normals, along);
        }
        for (int32_t i = 0; i < frame.nodes.count; ++i) scaleVertex(frame.nodes.data[i], factors, normals, along);
    }
    computeFrameBounds();
}
