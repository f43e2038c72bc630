// Small pieces of GL state handling shared by the renderer's own files:
// packed colours, the front-face winding of the current scene, and the
// column-major matrix helpers (with the stretch bound that the frustum test
// and the collision tests grow bounding spheres by). Not for callers outside src/gfx3d.
#pragma once
#include <cmath>
#include <cstdint>

#include "gfx2d/gl_headers.h"
#include "gfx2d/gl_matrix.h"

namespace render3d {

// True while the scene draws into an offscreen screen, whose picture is kept
// top row first: the projection is turned upside down there, which swaps the
// winding of every face on the screen.
extern bool mirroredScene;

// glFrontFace of the winding as it would be on the window.
void setFrontFace(GLenum face);

// A packed 0x00BBGGRR colour as four floats, alpha given.
inline void unpackColour(int32_t colour, float alpha, float (&out)[4]) {
    const uint32_t c = static_cast<uint32_t>(colour);
    out[0] = static_cast<float>(c & 0xFF) / 255.0f;
    out[1] = static_cast<float>((c >> 8) & 0xFF) / 255.0f;
    out[2] = static_cast<float>((c >> 16) & 0xFF) / 255.0f;
    out[3] = alpha;
}

// The column-major matrix helpers are shared with the 2-D context (gl_matrix.h).
using glmatrix::transformPoint;

// True when the matrix's 3 x 3 part (turn, scale and shear) is the identity.
inline bool upperIsIdentity(const float (&m)[16]) {
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 3; ++r) {
            if (m[c * 4 + r] != (r == c ? 1.0f : 0.0f)) return false;
        }
    }
    return true;
}

// How far the matrix's 3 x 3 part can carry a point at distance 1, as an
// upper bound: the square root of the largest row sum of |M^T M| (the
// columns' dot products), never below the true largest stretch. It is the
// largest column length whenever the columns are orthogonal (turns and
// scales); a shear stretches further than any column, and a bounding sphere
// grown by it still holds every corner of the part.
inline float largestStretch(const float (&m)[16]) {
    float largest = 0.0f;
    for (int a = 0; a < 3; ++a) {
        float sum = 0.0f;
        for (int b = 0; b < 3; ++b) {
            sum += std::fabs(m[a * 4] * m[b * 4] + m[a * 4 + 1] * m[b * 4 + 1] + m[a * 4 + 2] * m[b * 4 + 2]);
        }
        if (sum > largest) largest = sum;
    }
    return std::sqrt(largest);
}

// The inverse of a column-major 4 x 4 matrix by Gauss-Jordan elimination with
// partial pivoting; false (out the identity) for a singular matrix.
bool invertMatrix(const float (&m)[16], float (&out)[16]);

}  // namespace render3d
