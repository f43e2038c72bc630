// What the 3-D renderer uses of the 2-D context: texture binding and
// filtering, billboards, text over a scene, the orientation mapping, and the
// moving of textures to temporary files and back.
#include <dirent.h>

#include "gl_fixture.h"
#include "gfx2d/gl_extensions.h"
#include "gfx2d/gl_state_cache.h"
#include "runtime/services/display_services.h"

namespace {

using namespace gltest;

GLint boundTexture(GLenum unit) {
    if (glext::glActiveTextureARB) glext::glActiveTextureARB(unit);
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    if (glext::glActiveTextureARB) glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    return name;
}

// An orthographic "scene" of the window: x and y in pixels from the bottom left.
void sceneProjection(int32_t width, int32_t height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

TEST_F(Gfx2D, BindSpriteTexturesBindsBothUnits) {
    ASSERT_NE(glext::glActiveTextureARB, nullptr);
    put(1, imagetest::solid(4, 4, kRed));
    put(2, imagetest::solid(4, 4, kBlue));
    g->bindSpriteTextures(1, 2, 0, nullptr);
    EXPECT_EQ(g->texturePair[0], 1);
    EXPECT_EQ(g->texturePair[1], 2);
    EXPECT_EQ(boundTexture(GL_TEXTURE0_ARB), static_cast<GLint>(g->sprites[1].texture));
    EXPECT_EQ(boundTexture(GL_TEXTURE1_ARB), static_cast<GLint>(g->sprites[2].texture));
    EXPECT_TRUE(glcache::capabilityEnabled(GL_TEXTURE_2D));
    // The second (mipmapped) texture is made on first use.
    g->bindSpriteTextures(1, -1, 1, nullptr);
    EXPECT_NE(g->sprites[1].texture2, 0u);
    EXPECT_EQ(boundTexture(GL_TEXTURE0_ARB), static_cast<GLint>(g->sprites[1].texture2));
    GLuint names[3] = {0, 0, 77};
    g->bindSpriteTextures(-1, -1, 0, names);
    EXPECT_FALSE(glcache::capabilityEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(g->secondTexture, 0);
}

TEST_F(Gfx2D, ApplyTextureFilterFollowsSmoothing) {
    put(1, imagetest::solid(4, 4, kRed));
    g->bindSpriteTextures(1, -1, 0, nullptr);
    SetSmoothing(0);
    g->applyTextureFilter();
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
    SetSmoothing(1);
    g->applyTextureFilter();
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
}

TEST_F(Gfx2D, ABillboardFacesTheViewerAtTheSpritesSize) {
    put(1, imagetest::solid(4, 4, kRed));
    SetSmoothing(0);
    g->flushBatch();
    sceneProjection(96, 64);
    g->drawBillboard(1, 20, 44, 0, 2);  // 8 x 8 around (20, 44) from the bottom: window rows 16 to 23
    g->reset2DGLState();
    EXPECT_EQ(px(16, 16), kRed);
    EXPECT_EQ(px(23, 23), kRed);
    EXPECT_EQ(px(15, 20), kBlack);
    EXPECT_EQ(px(24, 20), kBlack);
}

TEST_F(Gfx2D, TextOverAScenePrintsAtThePointsWindowPosition) {
    g->flushBatch();
    sceneProjection(96, 64);
    glcache::enableCapability(GL_DEPTH_TEST);
    g->printTextOver3D(0, RtString("I"), 30, 40, 0, 0, 0);  // top left at window (30, 24)
    EXPECT_TRUE(glcache::capabilityEnabled(GL_DEPTH_TEST));  // put back as it was
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_FLOAT_EQ(m[0], 2.0f / 96.0f);  // the scene's projection is back
    g->reset2DGLState();
    EXPECT_EQ(px(33, 27), kWhite);
    EXPECT_EQ(px(32, 27), kBlack);
    g->flushBatch();
    sceneProjection(96, 64);
    g->printTextOver3D(0, RtString("III"), 48, 10, 0, 0, 1);  // centred: starts at 48 - 12
    g->reset2DGLState();
    EXPECT_EQ(px(36 + 3, 57), kWhite);
}

TEST_F(Gfx2D, TheOrientationMapsRectanglesIntoTheWindow) {
    int32_t x, y, w, h;
    g->rotateRectByOrientation(1, 2, 10, 5, x, y, w, h);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
    SetOrientation(2);
    g->rotateRectByOrientation(1, 2, 10, 5, x, y, w, h);
    EXPECT_EQ(x, 96 - 1 - 10);
    EXPECT_EQ(y, 64 - 2 - 5);
    EXPECT_EQ(w, 10);
    EXPECT_EQ(h, 5);
}

int filesNamed(const std::string& folder, const char* prefix) {
    int count = 0;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d)) count += std::string(e->d_name).rfind(prefix, 0) == 0;
        closedir(d);
    }
    return count;
}

TEST_F(Gfx2D, TexturesMoveToTemporaryFilesAndBack) {
    DecodedImage image = imagetest::gradient(6, 5);
    put(1, image);
    g->setFrameSize(1, 3, 5);
    CreateScreen(1, 500, 16, 8);
    SelectScreen(1);
    FillRect(0, 0, 16, 8, kBlueBgr);
    EXPECT_EQ(MoveTexturesToTempFiles(1), 1);
    EXPECT_FALSE(g->sprites[1].holdsImage());
    EXPECT_EQ(g->currentScreen, -1);
    EXPECT_EQ(filesNamed(folder.path(), "vnttex"), 2);
    EXPECT_EQ(MoveTexturesToTempFiles(0), 1);
    EXPECT_EQ(filesNamed(folder.path(), "vnttex"), 0);
    EXPECT_EQ(pixelsOf(1).pixels, image.pixels);
    EXPECT_EQ(g->sprites[1].frameCount, 2);
    EXPECT_EQ(pixelsOf(500).at(15, 7), kBlue);
    SelectScreen(1);  // the screen draws again
    FillRect(0, 0, 1, 1, kRedBgr);
    EXPECT_EQ(pixelsOf(500).at(0, 0), kRed);
    EXPECT_EQ(MoveTexturesToTempFiles(0), 1);  // nothing waiting
}

TEST_F(Gfx2D, ASpriteGivenANewImageMeanwhileKeepsIt) {
    put(1, imagetest::gradient(6, 5));
    EXPECT_EQ(MoveTexturesToTempFiles(1), 1);
    const DecodedImage newer = imagetest::gradient(3, 2);
    put(1, newer);
    const GLuint texture = g->sprites[1].texture;
    EXPECT_EQ(MoveTexturesToTempFiles(0), 1);
    EXPECT_EQ(filesNamed(folder.path(), "vnttex"), 0);
    EXPECT_EQ(g->sprites[1].texture, texture);
    EXPECT_EQ(pixelsOf(1).pixels, newer.pixels);
}

TEST_F(Gfx2D, AScreenMadeAgainMeanwhileKeepsItsNewSprite) {
    CreateScreen(2, 501, 16, 16);
    SelectScreen(2);
    FillRect(0, 0, 16, 16, kBlueBgr);
    EXPECT_EQ(MoveTexturesToTempFiles(1), 1);
    CreateScreen(2, 502, 16, 16);  // the game makes screen 2 again, on another sprite
    const GLuint framebuffer = g->screens[2].framebuffer;
    EXPECT_EQ(MoveTexturesToTempFiles(0), 1);
    EXPECT_EQ(g->screens[2].sprite, 502);
    EXPECT_EQ(g->screens[2].framebuffer, framebuffer);
    EXPECT_EQ(g->sprites[501].screen, -1);
    EXPECT_EQ(pixelsOf(501).at(15, 15), kBlue);  // back as a plain sprite
    SelectScreen(2);
    FillRect(0, 0, 1, 1, kRedBgr);
    EXPECT_EQ(pixelsOf(502).at(0, 0), kRed);
    EXPECT_EQ(pixelsOf(501).at(0, 0), kBlue);
    LoadSpriteFile(RtString(file("none.png").c_str()), 501);  // leaves screen 2 alone
    EXPECT_EQ(g->screens[2].sprite, 502);
    EXPECT_EQ(g->sprites[502].screen, 2);
}

}  // namespace
