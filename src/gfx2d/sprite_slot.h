// SpriteSlot, one entry of the 2-D context's sprite table, and the numbers
// that divide the table: 65,536 slots, the last 32 of them the fonts.
// A slot holds an image when its texture name is not 0.
#pragma once
#include <cstdint>

#include "gfx2d/gl_headers.h"

constexpr int32_t kSpriteCount = 65536;
constexpr int32_t kFontCount = 32;
constexpr int32_t kFirstFontSprite = kSpriteCount - kFontCount;  // 65,504: font 0
constexpr int32_t kScreenCount = 256;                          // offscreen screens 0 to 255

// Pixels of this colour (0x00BBGGRR: red 255, green 0, blue 128) in a loaded
// image are never drawn.
constexpr uint32_t kTransparentColour = 0x8000FF;

struct SpriteSlot {
    GLuint texture = 0;         // the image, top row first, in the top left of the texture
    GLuint texture2 = 0;        // a mipmapped copy for the 3-D renderer, made on first use
    int32_t width = 0;          // image pixels
    int32_t height = 0;
    int32_t textureWidth = 0;   // texture pixels, powers of two from 16
    int32_t textureHeight = 0;
    int32_t frameWidth = 0;     // animation frame size; 0 = no frames
    int32_t frameHeight = 0;
    int32_t frameColumns = 0;   // frames per row of the image
    int32_t frameCount = 0;
    int8_t appliedFilter = -1;  // filter last set on `texture`: 0 nearest, 1 linear, -1 unknown
    uint8_t hasAlpha = 0;       // the image came with an alpha channel
    int16_t screen = -1;        // the offscreen screen drawing into this sprite, -1 = none

    bool holdsImage() const { return texture != 0; }
    // Frames of the given size, left to right, then top to bottom; a height
    // of 0 or less means the image's. A size that does not fit leaves no frames.
    void setFrames(int32_t newFrameWidth, int32_t newFrameHeight) {
        if (newFrameHeight <= 0) newFrameHeight = height;
        if (newFrameWidth <= 0 || newFrameHeight <= 0 || newFrameWidth > width || newFrameHeight > height) {
            frameWidth = frameHeight = frameColumns = frameCount = 0;
            return;
        }
        frameWidth = newFrameWidth;
        frameHeight = newFrameHeight;
        frameColumns = width / frameWidth;
        frameCount = frameColumns * (height / frameHeight);
    }
};

inline bool isSpriteNumber(int32_t sprite) { return sprite >= 0 && sprite < kSpriteCount; }
