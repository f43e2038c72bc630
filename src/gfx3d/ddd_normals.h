// The 162 unit normals that .ddd files refer to by index (the vertex-normal
// table of the MD2 model format, in that table's order), and the choice of
// the entry nearest to a normal when a model is written.
#pragma once
#include <cstdint>

constexpr int32_t kDddNormalCount = 162;
extern const float kDddNormals[kDddNormalCount][3];

// The entry chosen for a normal: the normal is made unit length (kept when
// its squared length is at most 1e-7), each entry t from 0 on scores
// |n . (n - t)|, the lowest score wins with later entries winning ties, and
// a score of exactly 0 ends the search. A zero normal gives entry 0.
uint8_t quantiseDddNormal(float nx, float ny, float nz);
