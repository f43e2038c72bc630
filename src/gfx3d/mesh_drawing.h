// The arithmetic of mesh drawing that needs no GL: the choice of the two
// frames and the blend factor, and the size and texels of a shade texture.
#pragma once
#include <cstdint>

#include "runtime/containers/rt_vector.h"

// The two frames a draw blends: each vertex is first + (second - first) x
// blend (the second frame's own vertex when blend is 0).
struct FramePick {
    int32_t first;   // F
    int32_t second;  // S
    float blend;     // t
};

// Frames a and b with the blend t: not animated, F = a, S = b; animated, t
// is folded into 0..1 and the position (b - a) x t + a splits into a whole
// frame and the fraction. Both frames end within 0 .. frameCount - 1.
FramePick pickFrames(int32_t a, int32_t b, float t, uint8_t animated, int32_t frameCount);

// Rows: the smallest power of two from 1 that holds the palette (up to
// 32,768), or the palette count itself above 16,384.
uint32_t shadeTextureHeight(int32_t paletteCount);
// Columns: 64, or the smallest of 128, 256, 512 that holds 4 x the table length.
uint32_t shadeTextureWidth(int32_t tableLength);
// Texel (x, y) = palette colour y (colour 0 past the palette) darkened by
// table[x * length / width]; the four marker colours give grey. Byte order
// RGBA, or BGRA when `bgra`.
void fillShadeTexels(const RtVector<uint32_t>& palette, const RtVector<uint8_t>& table, uint32_t width,
                     uint32_t height, bool bgra, uint8_t* texels);
