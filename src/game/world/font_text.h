// The game's own bitmap text: the font sprite 1000 of 7 x 12 frames, frame
// c - 32 for the character c (codes 32 to 126), with a per-letter spacing:
// every character advances 7 pixels, narrow ones less ("'" and I, i, l by 3,
// "1" by 2, T and t by 1) and wide ones more (K, M, W, Y, m by 1).
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

constexpr int32_t kFontFirstCode = 32;
constexpr int32_t kFontFrames = 95;  // codes 32 to 126
constexpr int32_t kFontAdvance = 7;

// What a character changes in the x of the characters after it.
int32_t fontKerning(uint8_t character);

// Every character of the text with its frame and left x, in order; the
// frame may lie outside the font (such characters are not drawn, but keep
// their place).
template <class Glyph>
void forEachFontGlyph(double x, const RtString& text, Glyph&& glyph) {
    for (uint32_t i = 0; i < text.length; ++i) {
        const uint8_t character = static_cast<uint8_t>(text.data[i]);
        glyph(static_cast<int32_t>(character) - kFontFirstCode, x + kFontAdvance * static_cast<double>(i));
        x += fontKerning(character);
    }
}

// Draws the text with its top left at (x, y), each position truncated
// toward zero.
double DrawFontText(double x, double y, const RtString& text);
