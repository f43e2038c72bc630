// The OpenGL declarations of the 2-D and 3-D code: the fixed-function API and
// the extension types (the entry points themselves are in gl_extensions.h).
#pragma once
#include <GL/gl.h>
#include <GL/glext.h>
