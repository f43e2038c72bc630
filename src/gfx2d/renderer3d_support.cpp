// What the 3-D renderer asks of the 2-D context: the texture that stands for
// a sprite, texture binding and filtering, billboards (wound
// counter-clockwise, so they stay front faces under culling), and text over
// a 3-D scene. Each that draws or binds first draws what the 2-D queue
// holds, so the order of the picture is kept.
#include <cmath>

#include "gfx2d/gl_extensions.h"
#include "gfx2d/gl_matrix.h"
#include "gfx2d/gl_state_cache.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx2d/texture_upload.h"

void OpenGLRainbows::bindSpriteTextures(int32_t sprite0, int32_t sprite1, int32_t useSecond, const GLuint* names) {
    if (!window) return;
    batch.flush();
    texturePair[0] = sprite0;
    texturePair[1] = sprite1;
    secondTexture = useSecond;
    const GLuint first = spriteTexture(sprite0, useSecond, names);
    const GLuint second = glext::glActiveTextureARB ? spriteTexture(sprite1, useSecond, names) : 0;
    auto bindWrapped = [](GLuint texture) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    };
    if (glext::glActiveTextureARB) {
        // The capability cache follows unit 0; unit 1 is switched directly.
        glext::glActiveTextureARB(GL_TEXTURE1_ARB);
        if (second) {
            glEnable(GL_TEXTURE_2D);
            bindWrapped(second);
        } else {
            glDisable(GL_TEXTURE_2D);
        }
        glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    if (first) {
        glcache::enableCapability(GL_TEXTURE_2D);
        bindWrapped(first);
    } else {
        glcache::disableCapability(GL_TEXTURE_2D);
    }
}

GLuint OpenGLRainbows::spriteTexture(int32_t sprite, int32_t useSecond, const GLuint* names) {
    if (sprite < 0) return 0;
    if (names) return names[sprite];
    SpriteSlot* s = slot(sprite);
    if (!s || !s->holdsImage()) return 0;
    if (!useSecond) return s->texture;
    if (!s->texture2) s->texture2 = makeMipmappedCopy(s->texture, s->textureWidth, s->textureHeight);
    return s->texture2;
}

void OpenGLRainbows::applyTextureFilter() {
    if (!window) return;
    setBoundTextureFilter(smoothing != 0);
    // The 2-D queue's record of the filter on these textures no longer holds.
    for (int32_t sprite : texturePair) {
        if (SpriteSlot* s = slot(sprite)) s->appliedFilter = -1;
    }
}

void OpenGLRainbows::drawBillboard(int32_t sprite, float x, float y, float z, float scale) {
    SpriteSlot* s = slot(sprite);
    if (!window || !s || !s->holdsImage()) return;
    batch.flush();
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // The view's right and up directions in the model's coordinates.
    const float right[3] = {m[0], m[4], m[8]}, up[3] = {m[1], m[5], m[9]};
    const float halfW = s->width * scale * 0.5f, halfH = s->height * scale * 0.5f;
    const float u1 = static_cast<float>(s->width) / s->textureWidth;
    const float v1 = static_cast<float>(s->height) / s->textureHeight;
    auto corner = [&](float sx, float sy, float u, float v) {
        glTexCoord2f(u, v);
        glVertex3f(x + right[0] * sx * halfW + up[0] * sy * halfH, y + right[1] * sx * halfW + up[1] * sy * halfH,
                   z + right[2] * sx * halfW + up[2] * sy * halfH);
    };
    glcache::enableCapability(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, s->texture);
    setBoundTextureFilter(smoothing != 0);
    s->appliedFilter = smoothing ? 1 : 0;
    glcache::setColour(1.0f, 1.0f, 1.0f, alpha);
    // Counter-clockwise as the viewer sees it, the winding of a front face;
    // the image's top row faces up.
    glBegin(GL_QUADS);
    corner(-1, 1, 0, 0);
    corner(-1, -1, 0, v1);
    corner(1, -1, u1, v1);
    corner(1, 1, u1, 0);
    glEnd();
}

void OpenGLRainbows::printTextOver3D(int32_t font, const RtString& text, float x, float y, float z, float kerning,
                                     int32_t centred) {
    if (!window) return;
    batch.flush();
    GLfloat modelview[16], projection[16];
    GLint viewport[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const float point[4] = {x, y, z, 1.0f};
    float eye[4], clip[4];
    glmatrix::transform(modelview, point, eye);
    glmatrix::transform(projection, eye, clip);
    if (clip[3] <= 0.0f) return;  // behind the viewer
    const float windowX = viewport[0] + (clip[0] / clip[3] + 1.0f) * 0.5f * viewport[2];
    const float glY = viewport[1] + (clip[1] / clip[3] + 1.0f) * 0.5f * viewport[3];

    int32_t targetWidth = 0, targetHeight = 0;
    currentTargetSize(targetWidth, targetHeight);
    // 2-D y runs down; the window's GL rows run up, an offscreen screen's down.
    const float textY = currentScreen >= 0 ? glY : targetHeight - glY;
    SpriteSlot& f = fontSlot(font);
    float textX = windowX;
    if (centred) textX -= text.length * (f.frameWidth + kerning) * 0.5f;

    const bool depthTest = glcache::capabilityEnabled(GL_DEPTH_TEST);
    glcache::disableCapability(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, targetWidth, targetHeight);
    if (currentScreen >= 0) glOrtho(0.0, targetWidth, 0.0, targetHeight, -1.0, 1.0);
    else glOrtho(0.0, targetWidth, targetHeight, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const int32_t font2D = currentFont;
    currentFont = font;
    printText(text, textX, textY, kerning);
    currentFont = font2D;
    batch.flush();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glcache::setCapability(GL_DEPTH_TEST, depthTest);
}
