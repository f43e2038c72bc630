// The wire-sphere piece of the renderer's helper drawings (the drawings
// themselves are methods of Rainbows3D).
#pragma once
#include <cstdint>

// One triangle of a wire sphere: a, b, c are unit directions from the
// centre. Depth 0 draws the triangle as one line loop of the three points on
// the sphere; a larger depth splits it at the (normalised) edge midpoints into
// four and draws those with depth - 1.
void drawWireSphereTriangle(const float (&centre)[3], float radius, const float (&a)[3], const float (&b)[3],
                            const float (&c)[3], int32_t depth);
