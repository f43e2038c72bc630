// The 2-D context on a real window: clearing, the 2-D projection, viewport
// and orientation, the GL caches and the extension entry points.
#include <gtest/gtest.h>

#include "engine_harness.h"
#include "file_bytes.h"
#include "gfx2d/gl_extensions.h"
#include "gfx2d/gl_headers.h"
#include "gfx2d/gl_state_cache.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx2d/screen_commands.h"
#include "runtime/engine/engine_state.h"
#include "temp_dir.h"

namespace {

using testsupport::readFramePixel;

// One opaque pixel at 2-D position (x, y) of the current viewport.
void plot(int32_t x, int32_t y, float r, float g, float b) {
    glcache::disableCapability(GL_TEXTURE_2D);
    glcache::setColour(r, g, b, 1.0f);
    glBegin(GL_QUADS);
    glVertex2f(x, y);
    glVertex2f(x + 1.0f, y);
    glVertex2f(x + 1.0f, y + 1.0f);
    glVertex2f(x, y + 1.0f);
    glEnd();
}

class Rainbows : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EngineOptions options;
        options.width = 64;
        options.height = 48;
        ASSERT_TRUE(testsupport::startTestEngine(folder.path(), options));
        g = engine.graphics2D;
    }
    testsupport::TempDir folder;
    OpenGLRainbows* g = nullptr;
};

TEST_F(Rainbows, TheWindowHasTheAskedSizeAndTheFullViewport) {
    EXPECT_EQ(g->screenWidth, 64);
    EXPECT_EQ(g->screenHeight, 48);
    EXPECT_EQ(g->windowHeight, 48);
    int32_t v[4];
    g->copyViewport(v);
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(v[1], 0);
    EXPECT_EQ(v[2], 64);
    EXPECT_EQ(v[3], 48);
    EXPECT_EQ(g->currentScreen, -1);
    GLint depth = 0, stencil = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    EXPECT_EQ(depth, 24);
    EXPECT_EQ(stencil, 8);
}

TEST_F(Rainbows, ClearTakesTheColourWithRedInTheLowByte) {
    g->clear(0x00336699);
    EXPECT_EQ(readFramePixel(0, 0), 0xFF336699u);
    EXPECT_EQ(readFramePixel(63, 47), 0xFF336699u);
}

TEST_F(Rainbows, TwoDCoordinatesRunRightAndDown) {
    g->clear(0);
    plot(0, 0, 1, 0, 0);
    plot(63, 47, 0, 1, 0);
    EXPECT_EQ(readFramePixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(readFramePixel(63, 47), 0xFF00FF00u);
    EXPECT_EQ(readFramePixel(1, 0), 0xFF000000u);
}

TEST_F(Rainbows, TheViewportMovesTheOrigin) {
    g->clear(0);
    SetViewport(10, 20, 30, 20);
    plot(0, 0, 0, 0, 1);
    EXPECT_EQ(readFramePixel(10, 20), 0xFFFF0000u);
    EXPECT_EQ(readFramePixel(0, 0), 0xFF000000u);
    int32_t v[4];
    g->copyViewport(v);
    EXPECT_EQ(v[2], 30);
    SetViewport(0, 0, -5, -5);  // negative sizes are empty areas
    g->copyViewport(v);
    EXPECT_EQ(v[2], 0);
    EXPECT_EQ(v[3], 0);
}

TEST_F(Rainbows, UpsideDownPutsThePicturesCornerAtTheWindowsOpposite) {
    g->clear(0);
    SetOrientation(2);
    plot(0, 0, 1, 1, 1);
    EXPECT_EQ(readFramePixel(63, 47), 0xFFFFFFFFu);
    EXPECT_EQ(readFramePixel(0, 0), 0xFF000000u);
    SetOrientation(9);
    EXPECT_EQ(g->orientation, 0);
}

TEST_F(Rainbows, TwoDStateIsFixedFunctionWithAlphaBlending) {
    glcache::enableCapability(GL_DEPTH_TEST);
    glcache::enableCapability(GL_CULL_FACE);
    g->restore2DRenderState();
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint src = 0, dst = 0, shade = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(shade, GL_FLAT);
}

TEST_F(Rainbows, TheCapabilityCacheCallsGLOnlyOnChange) {
    glcache::disableCapability(GL_FOG);
    unsigned long before = glcache::glCallsMade();
    glcache::disableCapability(GL_FOG);
    EXPECT_EQ(glcache::glCallsMade(), before);
    glcache::enableCapability(GL_FOG);
    glcache::enableCapability(GL_FOG);
    EXPECT_EQ(glcache::glCallsMade(), before + 1);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glcache::capabilityEnabled(GL_FOG));
    // A capability outside the cached set goes to GL every time.
    glcache::enableCapability(GL_POINT_SMOOTH);
    glcache::enableCapability(GL_POINT_SMOOTH);
    EXPECT_EQ(glcache::glCallsMade(), before + 3);
    EXPECT_TRUE(glcache::capabilityEnabled(GL_POINT_SMOOTH));
}

TEST_F(Rainbows, TheColourCacheStartsUnknownAndSkipsRepeats) {
    glcache::forgetGLStateCache();
    float c[4];
    glcache::lastColour(c);
    EXPECT_EQ(c[0], -1.0f);
    EXPECT_EQ(c[3], -1.0f);
    unsigned long before = glcache::glCallsMade();
    glcache::setColour(0.5f, 0.25f, 1.0f, 1.0f);
    glcache::setColour(0.5f, 0.25f, 1.0f, 1.0f);
    EXPECT_EQ(glcache::glCallsMade(), before + 1);
    GLfloat current[4];
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_FLOAT_EQ(current[1], 0.25f);
    glcache::setColour(0.5f, 0.25f, 1.0f, 0.5f);
    EXPECT_EQ(glcache::glCallsMade(), before + 2);
}

TEST_F(Rainbows, ExtensionEntryPointsAreFetchedByName) {
    EXPECT_NE(glext::glActiveTextureARB, nullptr);
    EXPECT_NE(glext::glGenBuffersARB, nullptr);
    EXPECT_NE(glext::glCreateShaderObjectARB, nullptr);
    EXPECT_NE(glext::glGenFramebuffersEXT, nullptr);
    EXPECT_TRUE(glext::hasExtension("GL_ARB_multitexture"));
    EXPECT_FALSE(glext::hasExtension("GL_ARB_multi"));       // the start of a name
    EXPECT_FALSE(glext::hasExtension("ARB_multitexture"));   // the end of a name
    EXPECT_FALSE(glext::hasExtension(""));
    EXPECT_FALSE(glext::hasExtension(nullptr));
    // None of the probes failed, so the log has no "[FAILED]" line.
    EXPECT_EQ(testsupport::errorLogText().find("[FAILED]"), std::string::npos);
}

TEST_F(Rainbows, PointersAreNullAgainOnceTheContextIsGone) {
    delete engine.graphics2D;
    engine.graphics2D = nullptr;
    EXPECT_EQ(glext::glActiveTextureARB, nullptr);
    EXPECT_EQ(glext::glGenFramebuffersEXT, nullptr);
    EXPECT_FALSE(glext::hasExtension("GL_ARB_multitexture"));
}

TEST_F(Rainbows, AFrameSavesAsPng) {
    g->clear(0x000000FF);
    std::string path = folder.file("frame.png");
    ASSERT_TRUE(testsupport::saveFramePng(path));
    std::string bytes = testsupport::readFileBytes(path);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
}

TEST_F(Rainbows, WithoutAFontFileTheStartUpKeepsTheBuiltInFont) {
    EXPECT_NE(testsupport::errorLogText().find("Font 0: built-in\n"), std::string::npos);
    EXPECT_EQ(g->currentFont, 0);
    EXPECT_FALSE(g->sprites[kFirstFontSprite].holdsImage());
    EXPECT_EQ(g->fontSlot(0).frameWidth, 8);  // the built-in font's cells
    EXPECT_TRUE(g->fontSlot(0).holdsImage());
}

}  // namespace
