// Building a 3-D object vertex by vertex into an object slot: the one slot
// being built and the rule that turns a command's run kind into the colour
// of a break node. The operations are methods of Rainbows3D (beginObject,
// setVertexNormal, addVertex, addVertexBreak, newFrame, endObject).
//
// Departures: a frame number above kMaxBuildFrame is ignored by newFrame
// like a negative one (the frame list would not fit in memory, and the
// number + 1 would overflow); every building operation also does nothing
// when the slot being built has lost its part meanwhile (loaded or reduced
// in the middle of a build).
#pragma once
#include <cstdint>

// The object slot being built, -1 when none. Only one object is built at a time.
extern int32_t buildSlot;

// The largest frame number newFrame takes.
constexpr int32_t kMaxBuildFrame = 65535;

// 0 gives the list kind (0xFFFFFFFF), 2 the fan (0xFFFFFFFD), every other
// number the strip (0xFFFFFFFE).
uint32_t runKindOf(int32_t kind);
