// Small pieces of GL state handling shared by the renderer's own files:
// packed colours, the front-face winding of the current scene, and the
// column-major matrix helpers. Not for callers outside src/gfx3d.
#pragma once
#include <cstdint>

#include "gfx2d/gl_headers.h"

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

// out = a x b, column-major 4 x 4 (out may not alias a or b).
inline void multiplyMatrices(const float (&a)[16], const float (&b)[16], float (&out)[16]) {
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[col * 4 + k];
            out[col * 4 + row] = sum;
        }
    }
}

// (x, y, z, 1) through a column-major matrix, the w row dropped.
inline void transformPoint(const float (&m)[16], const float (&p)[3], float (&out)[3]) {
    for (int row = 0; row < 3; ++row) out[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row];
}

// The inverse of a column-major 4 x 4 matrix by Gauss-Jordan elimination with
// partial pivoting; false (out the identity) for a singular matrix.
bool invertMatrix(const float (&m)[16], float (&out)[16]);

}  // namespace render3d
