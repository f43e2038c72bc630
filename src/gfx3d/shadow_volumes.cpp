// Stencil shadow volumes of a mesh part: each triangle edge's neighbour
// across it (found once per mesh), the triangles facing the light and the
// silhouette edges (per frame), and the volume drawn in two stencil passes
// with its far side at infinity away from the light.
//
// Neighbour finding is quadratic in the worst case; corners are welded
// through an ordering by x and edges matched through a table of corner
// pairs, which gives the same neighbours (the last matching triangle wins)
// without comparing every pair of triangles on ordinary meshes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "gfx2d/gl_headers.h"
#include "gfx2d/gl_state_cache.h"
#include "gfx3d/mesh_types.h"
#include "gfx3d/vec3.h"

namespace {

constexpr float kWeldDistance = 1e-5f;  // per axis, strictly below

int32_t triangleCountOf(const MeshObjectX& part) {
    return part.frames.count > 0 ? part.frames.data[0].triangles.count / 3 : 0;
}

bool sameCorner(const MeshVertex& a, const MeshVertex& b) {
    return std::fabs(a.x - b.x) < kWeldDistance && std::fabs(a.y - b.y) < kWeldDistance &&
           std::fabs(a.z - b.z) < kWeldDistance;
}

// w[k]: the smallest j <= k whose position equals that of k within the weld distance.
std::vector<int32_t> weldCorners(const RtVector<MeshVertex>& t, int32_t count) {
    std::vector<int32_t> order(static_cast<size_t>(count));
    for (int32_t k = 0; k < count; ++k) order[static_cast<size_t>(k)] = k;
    auto sortKey = [&](int32_t k) { return std::isnan(t.data[k].x) ? INFINITY : t.data[k].x; };
    std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
        const float ka = sortKey(a), kb = sortKey(b);
        return ka < kb || (ka == kb && a < b);
    });
    std::vector<int32_t> weld(static_cast<size_t>(count));
    for (size_t p = 0; p < order.size(); ++p) {
        const int32_t k = order[p];
        int32_t best = k;
        const float x = sortKey(k);
        for (size_t q = p; q-- > 0 && sortKey(order[q]) - x > -kWeldDistance;) {
            if (order[q] < best && sameCorner(t.data[order[q]], t.data[k])) best = order[q];
        }
        for (size_t q = p + 1; q < order.size() && sortKey(order[q]) - x < kWeldDistance; ++q) {
            if (order[q] < best && sameCorner(t.data[order[q]], t.data[k])) best = order[q];
        }
        weld[static_cast<size_t>(k)] = best;
    }
    return weld;
}

uint64_t edgeKey(int32_t a, int32_t b) {
    const uint32_t low = static_cast<uint32_t>(std::min(a, b)), high = static_cast<uint32_t>(std::max(a, b));
    return static_cast<uint64_t>(low) << 32 | high;
}

Vec3 farPoint(const MeshVertex& v, const Vec3& light) { return positionOf(v) - light; }

}  // namespace

void MeshObjectX::buildEdgeNeighbours() {
    if (edges.count > 0 || frames.count < 1) return;
    const RtVector<MeshVertex>& t = frames.data[0].triangles;
    const int32_t n = t.count / 3;
    if (n < 1 || !edges.reserve(3 * n)) return;
    for (int32_t k = 0; k < 3 * n; ++k) edges.data[k] = MeshEdge{-1, 0};
    edges.count = 3 * n;

    const std::vector<int32_t> w = weldCorners(t, 3 * n);
    auto cornerOf = [&](int32_t tri, int32_t e) { return w[static_cast<size_t>(3 * tri + e)]; };
    // Every edge (triangle, edge) under its pair of welded corners, in triangle order.
    std::unordered_map<uint64_t, std::vector<int32_t>> byCorners;
    for (int32_t k = 0; k < 3 * n; ++k) {
        const int32_t tri = k / 3, e = k % 3;
        byCorners[edgeKey(cornerOf(tri, e), cornerOf(tri, (e + 1) % 3))].push_back(k);
    }
    for (int32_t i = 0; i + 1 < n; ++i) {
        for (int32_t e = 0; e < 3; ++e) {
            if (edges.data[3 * i + e].neighbour != -1) continue;
            const std::vector<int32_t>& shared = byCorners[edgeKey(cornerOf(i, e), cornerOf(i, (e + 1) % 3))];
            for (int32_t other : shared) {
                const int32_t j = other / 3;
                if (j <= i) continue;
                edges.data[3 * i + e].neighbour = j;  // the last match wins
                edges.data[other].neighbour = i;
            }
        }
    }
}

void MeshObjectX::findSilhouette(const RtVector<MeshVertex>& vertices, const float (&light)[3]) {
    const int32_t n = triangleCountOf(*this);
    litFaces.count = 0;
    if (n < 1 || !litFaces.reserve(n)) return;
    litFaces.count = n;
    const Vec3 l = vec3(light);
    const int32_t readable = std::min(n, vertices.count / 3);
    for (int32_t i = 0; i < n; ++i) {
        if (i >= readable) {
            litFaces.data[i] = 0;
            continue;
        }
        const Vec3 a = positionOf(vertices.data[3 * i]), b = positionOf(vertices.data[3 * i + 1]),
                   c = positionOf(vertices.data[3 * i + 2]);
        const Vec3 normal = cross(a - b, c - b);
        const Vec3 toLight = l - (a + b + c) * 0.33333334f;
        litFaces.data[i] = dot(normal, toLight) < 0.0f ? 0 : 1;
    }
    for (int32_t k = 0; k < edges.count; ++k) {
        const int32_t tri = k / 3;
        const int32_t across = edges.data[k].neighbour;
        const bool lit = tri < n && litFaces.data[tri] == 1;
        const bool acrossLit = across >= 0 && across < n && litFaces.data[across] == 1;
        edges.data[k].silhouette = lit && !acrossLit ? 1 : 0;
    }
}

void MeshObjectX::drawShadowVolume(const RtVector<MeshVertex>& vertices, const float (&light)[3], bool caps) {
    const int32_t n = std::min({triangleCountOf(*this), vertices.count / 3, litFaces.count});
    if (n < 1) return;
    const Vec3 l = vec3(light);
    glcache::disableCapability(GL_CULL_FACE);
    glcache::disableCapability(GL_TEXTURE_2D);
    glcache::disableCapability(GL_LIGHTING);
    glDepthFunc(GL_LESS);
    for (int32_t pass = 0; pass < 2; ++pass) {
        if (pass == 0) {
            glcache::enableCapability(GL_CULL_FACE);
            glStencilFunc(GL_ALWAYS, 0, 0xFFFFFFFFu);
            glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
            glCullFace(GL_FRONT);
        } else {
            glStencilOp(GL_KEEP, GL_KEEP, GL_DECR);
            glCullFace(GL_BACK);
        }
        glBegin(GL_QUADS);
        for (int32_t i = 0; i < n; ++i) {
            if (litFaces.data[i] != 1) continue;
            for (int32_t e = 0; e < 3 && 3 * i + e < edges.count; ++e) {
                if (edges.data[3 * i + e].silhouette != 1) continue;
                const MeshVertex& p = vertices.data[3 * i + e];
                const MeshVertex& q = vertices.data[3 * i + (e + 1) % 3];
                const Vec3 pFar = farPoint(p, l), qFar = farPoint(q, l);
                glVertex3f(q.x, q.y, q.z);
                glVertex3f(p.x, p.y, p.z);
                glVertex4f(pFar.x, pFar.y, pFar.z, 0.0f);
                glVertex4f(qFar.x, qFar.y, qFar.z, 0.0f);
            }
        }
        glEnd();
        if (!caps) continue;
        glBegin(GL_TRIANGLES);
        for (int32_t i = 0; i < n; ++i) {
            for (int32_t c = 0; c < 3; ++c) {
                const MeshVertex& v = vertices.data[3 * i + c];
                if (litFaces.data[i] == 1) {
                    glVertex3f(v.x, v.y, v.z);
                } else {
                    const Vec3 far = farPoint(v, l);
                    glVertex4f(far.x, far.y, far.z, 0.0f);
                }
            }
        }
        glEnd();
    }
}
