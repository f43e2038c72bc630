// Object building: the Rainbows3D building operations, and the mesh steps
// that ending an object, the .ddd readers and drawing share: the colour
// palette, the normal and tangent pass, and the expansion of vertex runs
// into triangle lists.
//
// The normal pass keeps its shared-vertex table per frame: a later frame's
// nodes never add their face normals to an earlier frame's vertices, so each
// animation frame gets the normals of its own shape.
//
// Departure: a palette index keeps 8 bits, so from the 257th colour on it
// names another palette entry (the first is the opening break node's run
// kind). The expansion into triangles reads a node's run kind from its own
// colour, which is that palette entry wherever the index holds: a mesh of
// many colours keeps every triangle.
//
// Departure: adding a vertex prints nothing; a line per vertex on standard
// output buried a program's own output and slowed large builds.
#include "gfx3d/object_building.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "gfx3d/mesh_model.h"
#include "gfx3d/rainbows3d.h"
#include "gfx3d/vec3.h"
#include "runtime/services/debug_output.h"

int32_t buildSlot = -1;

uint32_t runKindOf(int32_t kind) {
    if (kind == 0) return kRunList;
    if (kind == 2) return kRunFan;
    return kRunStrip;
}

namespace {

// Makes room for one more frame and hands back the new last frame, empty,
// its storage kept when it had some. Null when the room cannot be had.
MeshFrame* appendEmptyFrame(MeshObject& mesh) {
    if (mesh.frames.capacity <= mesh.frames.count && !mesh.frames.reserve(mesh.frames.count + 1)) return nullptr;
    MeshFrame& frame = mesh.frames.data[mesh.frames.count++];
    frame.nodes.count = 0;
    frame.triangles.count = 0;
    // A kept frame may hold lists copied with growth 1; building appends
    // vertex by vertex, so the usual growth applies again.
    frame.nodes.step = frame.triangles.step = 128;
    frame.nodes.minimum = frame.triangles.minimum = 512;
    frame.radius = 0.0f;
    frame.centre[0] = frame.centre[1] = frame.centre[2] = 0.0f;
    return &frame;
}

// The low 32 bits of a number truncated toward zero, for the shared-vertex
// keys; values beyond 64 bits (and NaN) saturate instead of being undefined.
uint32_t low32OfTruncated(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9.2233720368547758e18) return 0xFFFFFFFFu;
    if (value <= -9.2233720368547758e18) return 0;
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(value)));
}

// Part 0 of the slot being built, or null when nothing is being built.
MeshObjectX* partBeingBuilt(Rainbows3D& renderer) {
    Object3DSlot* s = renderer.slot(buildSlot);
    if (s == nullptr || s->parts.count < 1) return nullptr;
    return &s->parts.data[0];
}

}  // namespace

void Rainbows3D::beginObject(int32_t number, int32_t kind) {
    buildFrame = 0;
    Object3DSlot* s = slot(number);
    if (s == nullptr) {
        buildSlot = -1;
        return;
    }
    for (int32_t p = 0; p < s->parts.count; ++p) s->parts.data[p].clear(false);
    s->used = 0;
    s->multiPart = 0;
    s->parts.count = 0;
    if (s->textureNames.count > 0 && glReady()) glDeleteTextures(s->textureNames.count, s->textureNames.data);
    s->textureNames.count = 0;
    s->parts.step = s->parts.minimum = 1;
    s->textureNames.step = s->textureNames.minimum = 1;
    buildSlot = -1;
    // Part 0 is reused when the slot already has storage for it.
    if (s->parts.capacity < 1 && !s->parts.reserve(1)) return;
    s->parts.count = 1;
    MeshObjectX& part = s->parts.data[0];
    part.clear(false);
    if (appendEmptyFrame(part) == nullptr) {
        s->parts.count = 0;
        return;
    }
    buildSlot = number;
    buildVertex.nx = 0.0f;
    buildVertex.ny = 0.0f;
    buildVertex.nz = 1.0f;
    addVertexBreak(kind);
}

void Rainbows3D::setVertexNormal(float nx, float ny, float nz) {
    if (buildSlot == -1) return;
    buildVertex.nx = nx;
    buildVertex.ny = ny;
    buildVertex.nz = nz;
}

void Rainbows3D::addVertex(float x, float y, float z, float u, float v, uint32_t colour) {
    MeshObjectX* part = partBeingBuilt(*this);
    if (part == nullptr || buildFrame < 0 || buildFrame >= part->frames.count) return;
    buildVertex.x = x;
    buildVertex.y = y;
    buildVertex.z = z;
    buildVertex.u = u;
    buildVertex.v = -v;  // stored with the sign flipped
    setVertexColour(buildVertex, colour);
    RtVector<MeshVertex>& nodes = part->frames.data[buildFrame].nodes;
    nodes.append(buildVertex);
}

void Rainbows3D::addVertexBreak(int32_t kind) {
    MeshObjectX* part = partBeingBuilt(*this);
    if (part == nullptr || buildFrame < 0 || buildFrame >= part->frames.count) return;
    part->frames.data[buildFrame].nodes.append(makeBreakNode(runKindOf(kind)));
}

void Rainbows3D::newFrame(int32_t frame) {
    MeshObjectX* part = partBeingBuilt(*this);
    if (part == nullptr || frame < 0 || frame > kMaxBuildFrame) return;
    while (part->frames.count <= frame) {
        if (appendEmptyFrame(*part) == nullptr) return;  // the frame list is gone; nothing to fill
    }
    MeshFrame& target = part->frames.data[frame];
    if (target.nodes.count == 0 && part->frames.data[0].nodes.count > 0) {
        const MeshVertex opening = part->frames.data[0].nodes.data[0];
        target.nodes.append(opening);
    }
    buildFrame = frame;
}

void Rainbows3D::endObject() {
    Object3DSlot* s = slot(buildSlot);
    if (s == nullptr) return;
    buildSlot = -1;
    s->multiPart = 0;
    if (s->parts.count < 1) {
        s->used = 0;
        return;
    }
    MeshObjectX& part = s->parts.data[0];
    if (part.frames.count < 1 || part.frames.data[0].nodes.count < 3) {
        part.clear(true);
        s->used = 0;
        return;
    }
    s->used = 1;
    const int32_t expected = part.frames.data[0].nodes.count;
    for (int32_t f = 0; f < part.frames.count; ++f) {
        const int32_t count = part.frames.data[f].nodes.count;
        if (count == expected) continue;
        const std::string line = "Frame " + std::to_string(f) + " has " + std::to_string(count) +
                                 " nodes, but must have (like frame 0) " + std::to_string(expected) + " nodes\n";
        debugOutputText(line.c_str());
        s->used = 0;
        return;
    }
    part.buildPalette();
    if (lightingMode == 1) part.computeNormals(true, false, false);
    if (lightingMode == 2) part.computeNormals(true, true, false);
    if (part.baseTriangles.count == 0) part.buildFaces();
    part.computeFrameBounds();
}

// --- Mesh steps ---

NodePalette::NodePalette(const MeshObject& mesh) {
    for (int32_t f = 0; f < mesh.frames.count; ++f) {
        const RtVector<MeshVertex>& nodes = mesh.frames.data[f].nodes;
        for (int32_t k = 0; k < nodes.count; ++k) {
            const uint32_t colour = nodes.data[k].colour;
            if (indexOf_.emplace(colour, static_cast<int32_t>(colours_.size())).second) colours_.push_back(colour);
        }
    }
}

void MeshObject::buildPalette() {
    const NodePalette nodePalette(*this);
    const std::vector<uint32_t>& colours = nodePalette.colours();
    palette.count = 0;
    if (!colours.empty() && palette.reserve(static_cast<int32_t>(colours.size()))) {
        for (uint32_t colour : colours) palette.data[palette.count++] = colour;
    }
    for (int32_t f = 0; f < frames.count; ++f) {
        RtVector<MeshVertex>& nodes = frames.data[f].nodes;
        for (int32_t k = 0; k < nodes.count; ++k) {
            MeshVertex& node = nodes.data[k];
            node.paletteIndex = static_cast<uint8_t>(nodePalette.indexOf(node.colour));  // a 257th colour wraps
        }
    }
}

namespace {

// One shared vertex of the normal pass (found by its key, byKey below): the
// sums of the face normals, tangents and bitangents of the triangles that
// touch it.
struct SharedVertex {
    Vec3 normal, tangent, bitangent;
};

struct NormalPass {
    bool normals, smooth, tangents;
};

void addFace(const NormalPass& pass, const RtVector<MeshVertex>& nodes, const int32_t (&corner)[3],
             const int32_t (&entry)[3], bool negate, std::vector<SharedVertex>& table) {
    const MeshVertex& v0 = nodes.data[corner[0]];
    const MeshVertex& v1 = nodes.data[corner[1]];
    const MeshVertex& v2 = nodes.data[corner[2]];
    const Vec3 p0 = positionOf(v0), p1 = positionOf(v1), p2 = positionOf(v2);
    if (pass.normals) {
        Vec3 n = cross(p2 - p1, p1 - p0);
        if (negate) n = -n;
        for (int32_t e : entry) table[e].normal = table[e].normal + n;
    }
    if (pass.tangents) {
        const float du1 = v1.u - v0.u, dv1 = v1.v - v0.v;
        const float du2 = v2.u - v0.u, dv2 = v2.v - v0.v;
        const Vec3 dP1 = p1 - p0, dP2 = p2 - p0;
        const float d = du1 * dv2 - dv1 * du2;
        if (std::fabs(d) > 1e-5f) {  // texture coordinates without area give nothing
            const Vec3 t = (dP1 * dv2 - dP2 * dv1) / d;
            const Vec3 b = (dP2 * du1 - dP1 * du2) / d;
            for (int32_t e : entry) {
                table[e].tangent = table[e].tangent + t;
                table[e].bitangent = table[e].bitangent + b;
            }
        }
    }
}

void normalFrame(const NormalPass& pass, RtVector<MeshVertex>& nodes) {
    std::vector<SharedVertex> table;
    std::unordered_map<uint32_t, int32_t> byKey;  // keys are unique in the table
    std::vector<int32_t> entryOfNode(static_cast<size_t>(nodes.count), -1);
    int32_t corner[3] = {0, 0, 0}, entry[3] = {0, 0, 0};
    int32_t corners = 0, parity = 0;
    uint32_t kind = kRunList;
    for (int32_t k = 0; k < nodes.count; ++k) {
        const MeshVertex& node = nodes.data[k];
        if (node.colour >= kFirstMarkerColour) {
            corners = 0;
            parity = 0;
            kind = node.colour;
            continue;
        }
        const uint32_t key = pass.smooth ? low32OfTruncated(static_cast<double>(node.x) * 256.0 +
                                                            static_cast<double>(node.y) * 65536.0 +
                                                            static_cast<double>(node.z) * 16777216.0)
                                         : static_cast<uint32_t>(k);
        auto [found, added] = byKey.emplace(key, static_cast<int32_t>(table.size()));
        if (added) table.push_back(SharedVertex{});
        entryOfNode[k] = found->second;
        corner[corners] = k;
        entry[corners] = found->second;
        if (++corners < 3) continue;
        addFace(pass, nodes, corner, entry, kind == kRunStrip && parity == 1, table);
        if (kind == kRunList) {
            corners = 0;
            parity = 0;
        } else {  // strips and fans slide: the last two corners stay
            parity = 1 - parity;
            corner[0] = corner[1];
            corner[1] = corner[2];
            entry[0] = entry[1];
            entry[1] = entry[2];
            corners = 2;
        }
    }
    if (table.empty()) return;
    for (int32_t k = 0; k < nodes.count; ++k) {
        MeshVertex& node = nodes.data[k];
        const SharedVertex& shared = table[entryOfNode[k] >= 0 ? entryOfNode[k] : 0];
        if (pass.normals) {
            const Vec3 n = normalisedOrKept(shared.normal);
            node.nx = n.x;
            node.ny = n.y;
            node.nz = n.z;
        }
        if (pass.tangents) {
            store(normalisedOrKept(shared.tangent), node.tangent);
            store(normalisedOrKept(shared.bitangent), node.bitangent);
        }
    }
}

}  // namespace

void MeshObject::computeNormals(bool normals, bool smooth, bool tangents) {
    if (frames.count < 1 || frames.data[0].nodes.count < 1) return;
    const NormalPass pass{normals && normalsValid == 0, smooth, tangents && tangentsValid == 0};
    if (!pass.normals && !pass.tangents) return;
    normalsValid = 1;
    for (int32_t f = 0; f < frames.count; ++f) normalFrame(pass, frames.data[f].nodes);
    if (pass.tangents) tangentsValid = 1;
    buildFaces();
}

namespace {

// Walks the nodes as buildFaces does and calls emit(c0, c1, c2) per triangle.
template <class Emit>
void expandRuns(const RtVector<MeshVertex>& nodes, Emit emit) {
    const MeshVertex* corner[3] = {nullptr, nullptr, nullptr};
    int32_t corners = 0, parity = 0;
    uint32_t kind = kRunList;
    for (int32_t i = 0; i < nodes.count; ++i) {
        const MeshVertex& node = nodes.data[i];
        // The node's own colour: the palette entry at its index wherever that
        // index holds (it wraps past 256 colours, or the palette may be gone).
        const uint32_t value = node.colour;
        if (value == kRunStrip) {
            corners = 0;
            kind = kRunStrip;
            parity = 0;
        } else if (value == kRunList) {
            corners = 0;
            kind = kRunList;
        } else if (value == kRunFan) {
            corners = 0;
            kind = kRunFan;
        } else {
            corner[corners++] = &node;
            if (corners < 3) continue;
            emit(*corner[0], *corner[1], *corner[2]);
            if (kind == kRunList) {
                corners = 0;
            } else if (kind == kRunStrip) {
                corners = 2;
                parity = 1 - parity;
                if (parity == 0) corner[1] = corner[2];
                else corner[0] = corner[2];
            } else {
                corners = 2;
                corner[1] = corner[2];
            }
        }
    }
}

}  // namespace

void MeshObjectX::buildFaces() {
    if (frames.count < 1) return;
    dropStaticBuffer();  // it holds frame 0's triangles as they were
    for (int32_t f = 0; f < frames.count; ++f) {
        MeshFrame& frame = frames.data[f];
        frame.triangles.count = 0;
        // Counted first, so the list grows once instead of step by step.
        int64_t records = 0;
        expandRuns(frame.nodes, [&](const MeshVertex&, const MeshVertex&, const MeshVertex&) { records += 3; });
        const int64_t room = records > frame.nodes.count / 3 ? records : frame.nodes.count / 3;
        if (room > INT32_MAX - 1 || !frame.triangles.reserve(static_cast<int32_t>(room))) continue;
        expandRuns(frame.nodes, [&](const MeshVertex& a, const MeshVertex& b, const MeshVertex& c) {
            RtVector<MeshVertex>& t = frame.triangles;
            t.data[t.count++] = a;
            t.data[t.count++] = b;
            t.data[t.count++] = c;
        });
    }
    baseTriangles.copyFrom(frames.data[0].triangles);
    hasColours = 0;
    for (int32_t i = 0; i < palette.count; ++i) {
        if (palette.data[i] < kFirstMarkerColour && palette.data[i] != 0x00FFFFFFu) hasColours = 1;
    }
}
