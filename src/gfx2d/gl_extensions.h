// The OpenGL extension entry points, fetched by name when the window's
// context is made and kept in process-wide pointers that stay null when the
// driver lacks them: every use must test its pointer first. They live in
// namespace glext so they never collide with a library's own prototypes.
// Depends on the window service's entry-point lookup (platform/gl_window.h).
#pragma once
#include "gfx2d/gl_headers.h"

// One row per entry point: X(pointer type, name). The loader, the pointers
// and the reset all come from this one list.
#define VANTRIC_GL_EXTENSION_ENTRY_POINTS(X)                              \
    X(PFNGLACTIVETEXTUREARBPROC, glActiveTextureARB)                      \
    X(PFNGLCLIENTACTIVETEXTUREARBPROC, glClientActiveTextureARB)          \
    X(PFNGLMULTITEXCOORD2FARBPROC, glMultiTexCoord2fARB)                  \
    X(PFNGLGENBUFFERSARBPROC, glGenBuffersARB)                            \
    X(PFNGLBINDBUFFERARBPROC, glBindBufferARB)                            \
    X(PFNGLBUFFERDATAARBPROC, glBufferDataARB)                            \
    X(PFNGLDELETEBUFFERSARBPROC, glDeleteBuffersARB)                      \
    X(PFNGLCREATEPROGRAMOBJECTARBPROC, glCreateProgramObjectARB)          \
    X(PFNGLDELETEOBJECTARBPROC, glDeleteObjectARB)                        \
    X(PFNGLCREATESHADEROBJECTARBPROC, glCreateShaderObjectARB)            \
    X(PFNGLSHADERSOURCEARBPROC, glShaderSourceARB)                        \
    X(PFNGLCOMPILESHADERARBPROC, glCompileShaderARB)                      \
    X(PFNGLGETOBJECTPARAMETERIVARBPROC, glGetObjectParameterivARB)        \
    X(PFNGLATTACHOBJECTARBPROC, glAttachObjectARB)                        \
    X(PFNGLGETINFOLOGARBPROC, glGetInfoLogARB)                            \
    X(PFNGLLINKPROGRAMARBPROC, glLinkProgramARB)                          \
    X(PFNGLUSEPROGRAMOBJECTARBPROC, glUseProgramObjectARB)                \
    X(PFNGLGETUNIFORMLOCATIONARBPROC, glGetUniformLocationARB)            \
    X(PFNGLUNIFORM1FARBPROC, glUniform1fARB)                              \
    X(PFNGLUNIFORM1IARBPROC, glUniform1iARB)                              \
    X(PFNGLGETATTRIBLOCATIONARBPROC, glGetAttribLocationARB)              \
    X(PFNGLVERTEXATTRIB1FARBPROC, glVertexAttrib1fARB)                    \
    X(PFNGLGENFRAMEBUFFERSEXTPROC, glGenFramebuffersEXT)                  \
    X(PFNGLBINDFRAMEBUFFEREXTPROC, glBindFramebufferEXT)                  \
    X(PFNGLFRAMEBUFFERTEXTURE2DEXTPROC, glFramebufferTexture2DEXT)        \
    X(PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC, glCheckFramebufferStatusEXT)    \
    X(PFNGLDELETEFRAMEBUFFERSEXTPROC, glDeleteFramebuffersEXT)            \
    X(PFNGLGENRENDERBUFFERSEXTPROC, glGenRenderbuffersEXT)                \
    X(PFNGLBINDRENDERBUFFEREXTPROC, glBindRenderbufferEXT)                \
    X(PFNGLRENDERBUFFERSTORAGEEXTPROC, glRenderbufferStorageEXT)          \
    X(PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC, glFramebufferRenderbufferEXT)  \
    X(PFNGLDELETERENDERBUFFERSEXTPROC, glDeleteRenderbuffersEXT)          \
    X(PFNGLGENERATEMIPMAPEXTPROC, glGenerateMipmapEXT)                    \
    X(PFNGLBLENDFUNCSEPARATEPROC, glBlendFuncSeparate)

namespace glext {

#define VANTRIC_DECLARE_ENTRY_POINT(type, name) extern type name;
VANTRIC_GL_EXTENSION_ENTRY_POINTS(VANTRIC_DECLARE_ENTRY_POINT)
#undef VANTRIC_DECLARE_ENTRY_POINT

// Fetches every entry point from the current context; each one missing is
// reported to the error log as "ext: <name padded to 35>   [FAILED]\n".
// Returns the number found.
int loadEntryPoints();
// Sets every pointer back to null (the context is gone).
void clearEntryPoints();

// True when the current context lists the extension under exactly this name.
// False without a context, for a null or empty name, and for a name that
// only begins or ends another one's.
bool hasExtension(const char* name);

}  // namespace glext
