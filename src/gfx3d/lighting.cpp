// Lights, fog, face culling, the effect light, the stencil shadow pass and
// the shade table of cel shading. Depends on the 2-D context (the full-screen
// fill that ends a shadow pass) and the GL capability and colour caches.
//
// Departures: ending a shadow pass puts GL_LIGHTING and GL_FOG back as they
// were (the 2-D fill in between switches both off), so lighting stays on
// while a light is on and a scene drawn on after the pass keeps its lights
// and fog, and gives the 2-D context back the program's opacity and blending
// (the fill draws at half opacity); a spot light's negative cutoff goes to GL
// as 0 (GL refuses a negative one and would keep the light's previous cone),
// and so does a negative exponential fog density (no fog).
#include <cmath>

#include "gfx2d/gl_state_cache.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx3d/rainbows3d.h"
#include "gfx3d/render_state.h"
#include "gfx3d/vec3.h"

void Rainbows3D::setLight(int32_t index, int32_t colour, float x, float y, float z, float dx, float dy, float dz,
                          float cutoff, int32_t debug) {
    if (index < 0) {
        effectLightOn = std::fabs(cutoff) >= 0.00001f ? 1 : 0;
        if (effectLightOn) {
            shadowColour = colour;
            effectLight[0] = x;
            effectLight[1] = y;
            effectLight[2] = z;
        }
        if (index == -3) {
            lightEffect = 3;
            setShadowPass(effectLightOn);
        } else {
            lightEffect = index == -1 ? 1 : 2;
        }
        return;
    }
    if (!glReady()) return;
    const int32_t n = index & 7;
    const GLenum light = GL_LIGHT0 + static_cast<GLenum>(n);
    if (cutoff == 0.0f) {
        glDisable(light);
        lightMask = static_cast<uint8_t>(lightMask & ~(1u << n));
        if (lightMask == 0) glcache::disableCapability(GL_LIGHTING);
        return;
    }
    const float position[4] = {x, y, z, 1.0f};
    float direction[4] = {dx, dy, dz, 0.0f};
    float diffuse[4];
    render3d::unpackColour(colour, 1.0f, diffuse);
    static const float kNoSpecular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glcache::enableCapability(GL_LIGHTING);
    glEnable(light);
    lightMask = static_cast<uint8_t>(lightMask | (1u << n));
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    if (x == 0.0f && y == 0.0f && z == 0.0f && dx == 0.0f && dy == 0.0f && dz == 0.0f) {
        static const float kTowardsViewer[4] = {0.0f, 0.0f, 1.0f, 0.0f};
        glLightfv(light, GL_POSITION, kTowardsViewer);
        glLightfv(light, GL_DIFFUSE, diffuse);
        glLightfv(light, GL_SPECULAR, kNoSpecular);
        glLightf(light, GL_SPOT_CUTOFF, 180.0f);
        glPopMatrix();
        return;
    }
    if (cutoff == 180.0f) {
        float towards[4] = {-dx, -dy, -dz, 0.0f};
        normaliseXyz(towards);
        glLightf(light, GL_SPOT_CUTOFF, 180.0f);
        glLightfv(light, GL_POSITION, towards);
        glLightfv(light, GL_DIFFUSE, diffuse);
        glLightfv(light, GL_SPECULAR, kNoSpecular);
    } else if (cutoff > 90.0f) {
        glLightf(light, GL_SPOT_CUTOFF, 180.0f);
        glLightfv(light, GL_POSITION, position);
        glLightfv(light, GL_DIFFUSE, diffuse);
        glLightfv(light, GL_SPECULAR, diffuse);
    } else {
        // GL takes spot cutoffs of 0 to 90 only; a negative one would be refused.
        glLightf(light, GL_SPOT_CUTOFF, cutoff < 0.0f ? 0.0f : cutoff);
        normaliseXyz(direction);
        glLightfv(light, GL_POSITION, position);
        glLightfv(light, GL_SPOT_DIRECTION, direction);
        glLightfv(light, GL_DIFFUSE, diffuse);
        glLightfv(light, GL_SPECULAR, diffuse);
    }
    glPopMatrix();
    if (debug != 0) {
        const float p[3] = {x, y, z};
        drawPoint(p, 0x80C8FF, 40.0f);
        if (cutoff <= 90.0f) {
            const float q[3] = {x + 500.0f * direction[0], y + 500.0f * direction[1], z + 500.0f * direction[2]};
            drawLine(p, q, 0x6CAAE1, 3.0f);
        }
    }
}

void Rainbows3D::switchLightsOff() {
    if (glReady()) {
        for (int32_t n = 0; n < 8; ++n) {
            if (lightMask & (1u << n)) glDisable(GL_LIGHT0 + static_cast<GLenum>(n));
        }
        glcache::disableCapability(GL_LIGHTING);
    }
    lightMask = 0;
}

void Rainbows3D::setCameraLight(int32_t index, int32_t colour) {
    const float eye[3] = {cameraEye[0], cameraEye[1], cameraEye[2]};
    setLight(index, colour, eye[0], eye[1], eye[2], -eye[0], -eye[1], -eye[2], 180.0f, 0);
}

void Rainbows3D::setFog(int32_t colour, int32_t exponential, float startOrDensity, float end) {
    if (!glReady()) return;
    if (colour == -1) {
        glcache::disableCapability(GL_FOG);
        return;
    }
    glcache::enableCapability(GL_FOG);
    if (exponential != 0) {
        glFogi(GL_FOG_MODE, GL_EXP);
        // GL refuses a negative density and would keep the last one; below 0
        // the fog thins to nothing, as a density of 0 gives.
        glFogf(GL_FOG_DENSITY, startOrDensity < 0.0f ? 0.0f : startOrDensity);
    } else {
        glFogi(GL_FOG_MODE, GL_LINEAR);
        if (startOrDensity == 0.0f && end == 0.0f) {
            startOrDensity = nearClip;
            end = farClip;
        }
        glFogf(GL_FOG_START, startOrDensity);
        glFogf(GL_FOG_END, end);
    }
    float rgba[4];
    render3d::unpackColour(colour, 0.0f, rgba);
    glFogfv(GL_FOG_COLOR, rgba);
}

void Rainbows3D::setCulling(int32_t mode) {
    cullMode = static_cast<int8_t>(mode);
    if (!glReady()) return;
    if (mode == 0) {
        glcache::disableCapability(GL_CULL_FACE);
    } else if (mode == 1) {
        render3d::setFrontFace(GL_CW);
        glcache::enableCapability(GL_CULL_FACE);
    } else if (mode == -1) {
        glcache::enableCapability(GL_CULL_FACE);
        render3d::setFrontFace(GL_CCW);
    }
}

void Rainbows3D::setShadowPass(uint8_t on) {
    if (shadowPassOn == on) return;
    shadowPassOn = on;
    if (!glReady()) return;
    if (on) {
        glShadeModel(GL_FLAT);
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glcache::enableCapability(GL_STENCIL_TEST);
        glDepthMask(GL_FALSE);
        glStencilFunc(GL_ALWAYS, 0, 0);
        glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
        return;
    }
    glCullFace(GL_BACK);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LEQUAL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    // The 2-D state switches lighting and fog off; a scene that goes on
    // drawing after the pass keeps them.
    const bool lighting = glcache::capabilityEnabled(GL_LIGHTING);
    const bool fog = glcache::capabilityEnabled(GL_FOG);
    // The fill borrows the 2-D opacity and blending; the program's own come back after it.
    const float opacity = gfx2d->alpha;
    const BlendMode blending = gfx2d->blendMode;
    gfx2d->reset2DGLState();
    glcache::enableCapability(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gfx2d->alpha = 0.5f;
    glcache::setColour(1.0f, 1.0f, 1.0f, 0.5f);
    glcache::enableCapability(GL_STENCIL_TEST);
    glStencilFunc(GL_NOTEQUAL, 0, 0xFFFFFFFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    gfx2d->fillRect(0.0f, 0.0f, static_cast<float>(gfx2d->viewportWidth), static_cast<float>(gfx2d->viewportHeight),
                    static_cast<uint32_t>(shadowColour));
    gfx2d->flushBatch();  // the fill must meet the stencil before the test goes off
    glcache::disableCapability(GL_BLEND);
    gfx2d->alpha = opacity;
    gfx2d->blendMode = blending;
    glcache::setColour(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glShadeModel(GL_SMOOTH);
    glcache::enableCapability(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glcache::disableCapability(GL_STENCIL_TEST);
    glClear(GL_STENCIL_BUFFER_BIT);
    glcache::setCapability(GL_LIGHTING, lighting);
    glcache::setCapability(GL_FOG, fog);
    glcache::enableCapability(GL_CULL_FACE);
    glCullFace(GL_BACK);
    setCulling(cullMode);
}

void Rainbows3D::setShadeTable(const uint8_t* bytes, int32_t count) {
    shadeTable.clear(false);
    if (count < 1 || bytes == nullptr) {
        const uint8_t full = 255;
        shadeTable.append(full);
    } else if (shadeTable.reserve(count)) {
        for (int32_t i = 0; i < count; ++i) shadeTable.data[i] = bytes[i];
        shadeTable.count = count;
    }
    for (int32_t s = 0; s < objects.count; ++s) {
        Object3DSlot& slot = objects.data[s];
        for (int32_t p = 0; p < slot.parts.count; ++p) {
            MeshObjectX& part = slot.parts.data[p];
            if (part.textureName == 0) continue;
            if (glReady()) glDeleteTextures(1, &part.textureName);
            part.textureName = 0;
        }
    }
}
