// Column-major 4 x 4 matrices as GL keeps them (element [column x 4 + row]):
// the product, points and vectors through a matrix, and the turn that each
// screen orientation puts in front of a projection. Shared by the 2-D
// context's viewport and the 3-D renderer, so both turn the picture alike.
#pragma once
#include <cstdint>

namespace glmatrix {

// out = a x b (out may not alias a or b).
inline void multiply(const float (&a)[16], const float (&b)[16], float (&out)[16]) {
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[col * 4 + k];
            out[col * 4 + row] = sum;
        }
    }
}

// out = m x (x, y, z, w).
inline void transform(const float (&m)[16], const float (&in)[4], float (&out)[4]) {
    for (int row = 0; row < 4; ++row) {
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
    }
}

// The point (x, y, z, 1) through m, the w row dropped.
inline void transformPoint(const float (&m)[16], const float (&p)[3], float (&out)[3]) {
    for (int row = 0; row < 3; ++row) out[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row];
}

// The turn of the picture for orientations 1 to 3 (1 a quarter clockwise, 2 a
// half, 3 a quarter counter-clockwise); null for 0 and any other value.
inline const float* orientationTurn(int32_t orientation) {
    static const float kQuarterClockwise[16] = {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    static const float kHalfTurn[16] = {-1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    static const float kQuarterCounterClockwise[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    switch (orientation) {
    case 1: return kQuarterClockwise;
    case 2: return kHalfTurn;
    case 3: return kQuarterCounterClockwise;
    default: return nullptr;
    }
}

}  // namespace glmatrix
