// The GL capability cache and the colour cache. The 2-D and 3-D code enable
// or disable a GL capability, and set the current colour, only through these,
// so a state already in place costs no GL call. Both caches describe the one
// current context: after a new context is made, forgetGLStateCache() must run.
#pragma once
#include "gfx2d/gl_headers.h"

namespace glcache {

// glEnable / glDisable when the cached flag differs; the flag then follows.
// Capabilities outside the cached set go straight to GL every time.
void enableCapability(GLenum capability);
void disableCapability(GLenum capability);
void setCapability(GLenum capability, bool enabled);
// The cached flag (1 = enabled); for a capability outside the set, what GL says.
bool capabilityEnabled(GLenum capability);

// glColor4f when the colour differs from the last one sent.
void setColour(float red, float green, float blue, float alpha);
// Forgets the last colour (-1 each): GL's current colour is undefined after
// drawing with a colour array.
void forgetColour();
// The last colour sent; -1 each before the first.
void lastColour(float (&rgba)[4]);

// A fresh context: every flag to GL's initial state, the colour to unknown (-1).
void forgetGLStateCache();

// Number of glEnable/glDisable/glColor4f calls made through the caches (for tests).
unsigned long glCallsMade();

}  // namespace glcache
