// Small pieces of GL state handling shared by the renderer's own files:
// packed colours, the front-face winding of the current scene, and the
// column-major matrix helpers. Not for callers outside src/gfx3d.
#pragma once
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

// The inverse of a column-major 4 x 4 matrix by Gauss-Jordan elimination with
// partial pivoting; false (out the identity) for a singular matrix.
bool invertMatrix(const float (&m)[16], float (&out)[16]);

}  // namespace render3d
