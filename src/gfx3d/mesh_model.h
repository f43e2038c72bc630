// The mesh model's shared rules: the run kinds that break nodes carry, the
// colour rule that turns a vertex colour into its four channels, the break
// node itself, and the palette of a mesh's nodes. Used by the object
// builder, both .ddd readers and the writer.
#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "gfx3d/mesh_types.h"

// The colour of a break node: how the following vertices form triangles.
constexpr uint32_t kRunList = 0xFFFFFFFFu;   // -1: every three vertices one triangle
constexpr uint32_t kRunStrip = 0xFFFFFFFEu;  // -2: a triangle strip
constexpr uint32_t kRunFan = 0xFFFFFFFDu;    // -3: a triangle fan
// Colours from here up are white in the colour rule and restart a run in
// the normal pass; only the three above are run kinds for buildFaces.
constexpr uint32_t kFirstMarkerColour = 0xFFFFFFFCu;

// Sets `colour` and the channels: 0x00BBGGRR gives byte / 255 with alpha 1;
// the four marker values give 1.0 in all four channels.
void setVertexColour(MeshVertex& vertex, uint32_t colour);

// A node that is all zero except its colour (the run kind) and the four
// channels (1.0 each).
MeshVertex makeBreakNode(uint32_t runKind);

// A node's palette index is one byte: it tells this many entries apart.
constexpr int32_t kPaletteIndexCount = 256;

// The palette of a mesh's nodes: each distinct node colour once, in order of
// first appearance (frames in order, each frame's nodes in order), and where
// each colour stands in it. MeshObject::buildPalette makes a mesh's own
// palette from it; the writer makes a file's when the mesh's own no longer
// holds its nodes.
class NodePalette {
public:
    explicit NodePalette(const MeshObject& mesh);
    const std::vector<uint32_t>& colours() const { return colours_; }
    // The full index of a colour that some node has (not cut to one byte).
    int32_t indexOf(uint32_t colour) const { return indexOf_.at(colour); }

private:
    std::vector<uint32_t> colours_;
    std::unordered_map<uint32_t, int32_t> indexOf_;
};
