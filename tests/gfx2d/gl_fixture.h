// The fixture of the 2-D drawing tests: the engine started offscreen on a
// 96 x 64 window cleared to black, with helpers to put images into sprites
// and files and to read pixels back (0xAABBGGRR, window pixels from the top).
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

#include "engine_harness.h"
#include "file_bytes.h"
#include "gfx2d/decoded_image.h"
#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/image_codecs.h"
#include "gfx2d/opengl_rainbows.h"
#include "image_fixtures.h"
#include "runtime/engine/engine_state.h"
#include "runtime/services/runtime_error.h"
#include "temp_dir.h"

namespace gltest {

using imagetest::rgba;

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kRedBgr = 0x0000FF, kGreenBgr = 0x00FF00, kBlueBgr = 0xFF0000;  // 0x00BBGGRR
constexpr uint32_t kRed = 0xFF0000FFu, kGreen = 0xFF00FF00u, kBlue = 0xFFFF0000u, kWhite = 0xFFFFFFFFu;

// Every channel of a within `tolerance` of b.
inline ::testing::AssertionResult near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        if (d > tolerance) {
            return ::testing::AssertionFailure() << std::hex << "0x" << a << " is not within " << std::dec
                                                 << tolerance << " of 0x" << std::hex << b;
        }
    }
    return ::testing::AssertionSuccess();
}

class Gfx2D : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EngineOptions options;
        options.width = 96;
        options.height = 64;
        ASSERT_TRUE(testsupport::startTestEngine(folder.path(), options));
        g = engine.graphics2D;
        g->clear(0);
        clearErrorCode();
    }

    uint32_t px(int32_t x, int32_t y) { return testsupport::readFramePixel(x, y); }
    std::string file(const std::string& name) const { return folder.file(name); }
    void put(int sprite, const DecodedImage& image) { ASSERT_TRUE(g->setSpriteImage(sprite, image)) << sprite; }
    void writePng(const std::string& name, const DecodedImage& image) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(encodePng(image, bytes));
        testsupport::writeFileBytes(file(name), imagetest::asString(bytes));
    }
    // The pixels of a sprite as the game reads them.
    DecodedImage pixelsOf(int sprite) {
        DecodedImage image;
        g->spritePixels(sprite, image);
        return image;
    }

    testsupport::TempDir folder;
    OpenGLRainbows* g = nullptr;
};

}  // namespace gltest
