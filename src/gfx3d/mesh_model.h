// The mesh model's shared rules: the run kinds that break nodes carry, the
// colour rule that turns a vertex colour into its four channels, and the
// break node itself. Used by the object builder and both .ddd readers.
#pragma once
#include <cstdint>

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
