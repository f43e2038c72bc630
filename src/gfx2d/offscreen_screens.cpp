// Offscreen screens: framebuffer objects that draw into sprite textures.
// Depends on the framebuffer-object entry points; without them no screen
// can be made and drawing stays on the window.
#include "gfx2d/decoded_image.h"
#include "gfx2d/gl_extensions.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx2d/texture_upload.h"

namespace {

bool framebuffersAvailable() {
    return glext::glGenFramebuffersEXT && glext::glBindFramebufferEXT && glext::glFramebufferTexture2DEXT &&
           glext::glCheckFramebufferStatusEXT && glext::glDeleteFramebuffersEXT && glext::glGenRenderbuffersEXT &&
           glext::glBindRenderbufferEXT && glext::glRenderbufferStorageEXT &&
           glext::glFramebufferRenderbufferEXT && glext::glDeleteRenderbuffersEXT;
}

}  // namespace

bool OpenGLRainbows::createScreen(int32_t screen, int32_t sprite, int32_t width, int32_t height) {
    if (!window || screen < 0 || screen >= kScreenCount || !isSpriteNumber(sprite) || width <= 0 || height <= 0 ||
        !framebuffersAvailable())
        return false;
    const int32_t limit = maxTextureSide();
    if (textureSideFor(width) > limit || textureSideFor(height) > limit) return false;
    batch.flush();
    const bool wasCurrent = currentScreen == screen;
    if (wasCurrent) selectScreen(-1);
    releaseScreen(screen);
    freeSprite(sprite);

    DecodedImage blank;
    blank.width = width;
    blank.height = height;
    blank.pixels.assign(static_cast<size_t>(width) * height, 0);
    if (!uploadToSlot(sprites[sprite], blank, false)) return false;
    SpriteSlot& s = sprites[sprite];
    s.hasAlpha = 1;

    if (!attachFramebuffer(screen, sprite)) return false;
    if (wasCurrent) selectScreen(screen);
    return true;
}

bool OpenGLRainbows::attachFramebuffer(int32_t screen, int32_t sprite) {
    SpriteSlot& s = sprites[sprite];
    OffscreenScreen& target = screens[screen];
    glext::glGenFramebuffersEXT(1, &target.framebuffer);
    glext::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target.framebuffer);
    glext::glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, s.texture, 0);
    glext::glGenRenderbuffersEXT(1, &target.depthStencil);
    glext::glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, target.depthStencil);
    glext::glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH24_STENCIL8_EXT, s.textureWidth, s.textureHeight);
    glext::glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                        target.depthStencil);
    glext::glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_STENCIL_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                        target.depthStencil);
    const bool complete = glext::glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
    target.sprite = sprite;
    s.screen = static_cast<int16_t>(screen);
    // Back to the target in use.
    glext::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, currentScreen >= 0 ? screens[currentScreen].framebuffer : 0);
    if (!complete) freeSprite(sprite);  // releases the screen too
    return complete;
}

void OpenGLRainbows::releaseScreen(int32_t screen) {
    if (screen < 0 || screen >= kScreenCount) return;
    OffscreenScreen& target = screens[screen];
    if (target.sprite < 0 && target.framebuffer == 0) return;
    batch.flush();
    if (currentScreen == screen) selectScreen(-1);
    if (window && framebuffersAvailable()) {
        glext::glDeleteFramebuffersEXT(1, &target.framebuffer);
        glext::glDeleteRenderbuffersEXT(1, &target.depthStencil);
    }
    if (isSpriteNumber(target.sprite)) sprites[target.sprite].screen = -1;
    target = OffscreenScreen{};
}

void OpenGLRainbows::selectScreen(int32_t screen) {
    if (!window) return;
    if (screen >= kScreenCount) return;
    if (screen >= 0 && screens[screen].sprite < 0) return;  // never made
    batch.flush();
    if (screen < 0) {
        if (glext::glBindFramebufferEXT) glext::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        currentScreen = -1;
        viewportX = windowViewport_.x;
        viewportY = windowViewport_.y;
        viewportWidth = windowViewport_.width;
        viewportHeight = windowViewport_.height;
    } else {
        glext::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, screens[screen].framebuffer);
        currentScreen = screen;
        const SpriteSlot& s = sprites[screens[screen].sprite];
        viewportX = viewportY = 0;
        viewportWidth = s.width;
        viewportHeight = s.height;
    }
    applyViewport();
}

void OpenGLRainbows::currentTargetSize(int32_t& width, int32_t& height) const {
    if (currentScreen >= 0) {
        const SpriteSlot& s = sprites[screens[currentScreen].sprite];
        width = s.width;
        height = s.height;
    } else {
        width = screenWidth;
        height = screenHeight;
    }
}
