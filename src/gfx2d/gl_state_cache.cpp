// The capability and colour caches.
#include "gfx2d/gl_state_cache.h"

namespace glcache {
namespace {

struct CachedCapability {
    GLenum capability;
    bool initiallyEnabled;  // GL's state in a new context
};

// The capabilities the drawing code switches. Rows must stay in step with
// the flags array below (one flag per row).
constexpr CachedCapability cached[] = {
    {GL_BLEND, false},        {GL_COLOR_MATERIAL, false}, {GL_CULL_FACE, false},
    {GL_LIGHTING, false},     {GL_STENCIL_TEST, false},   {GL_DEPTH_TEST, false},
    {GL_FOG, false},          {GL_TEXTURE_GEN_S, false},  {GL_TEXTURE_GEN_T, false},
    {GL_TEXTURE_2D, false},   {GL_ALPHA_TEST, false},     {GL_SCISSOR_TEST, false},
    {GL_NORMALIZE, false},    {GL_LINE_SMOOTH, false},    {GL_POLYGON_OFFSET_FILL, false},
    {GL_DITHER, true},        {GL_MULTISAMPLE, true},
};
constexpr int kCachedCount = sizeof cached / sizeof cached[0];

bool flags[kCachedCount] = {
    false, false, false, false, false, false, false, false, false,
    false, false, false, false, false, false, true, true,
};
float colour[4] = {-1.0f, -1.0f, -1.0f, -1.0f};
unsigned long calls = 0;

int indexOf(GLenum capability) {
    for (int i = 0; i < kCachedCount; ++i) {
        if (cached[i].capability == capability) return i;
    }
    return -1;
}

void apply(GLenum capability, bool enabled) {
    ++calls;
    if (enabled) glEnable(capability);
    else glDisable(capability);
}

}  // namespace

void setCapability(GLenum capability, bool enabled) {
    int i = indexOf(capability);
    if (i < 0) {
        apply(capability, enabled);
        return;
    }
    if (flags[i] == enabled) return;
    apply(capability, enabled);
    flags[i] = enabled;
}

void enableCapability(GLenum capability) { setCapability(capability, true); }
void disableCapability(GLenum capability) { setCapability(capability, false); }

bool capabilityEnabled(GLenum capability) {
    int i = indexOf(capability);
    return i >= 0 ? flags[i] : glIsEnabled(capability) == GL_TRUE;
}

void setColour(float red, float green, float blue, float alpha) {
    if (colour[0] == red && colour[1] == green && colour[2] == blue && colour[3] == alpha) return;
    ++calls;
    glColor4f(red, green, blue, alpha);
    colour[0] = red;
    colour[1] = green;
    colour[2] = blue;
    colour[3] = alpha;
}

void forgetColour() {
    for (float& c : colour) c = -1.0f;
}

void lastColour(float (&rgba)[4]) {
    for (int i = 0; i < 4; ++i) rgba[i] = colour[i];
}

void forgetGLStateCache() {
    for (int i = 0; i < kCachedCount; ++i) flags[i] = cached[i].initiallyEnabled;
    for (float& c : colour) c = -1.0f;
}

unsigned long glCallsMade() { return calls; }

}  // namespace glcache
