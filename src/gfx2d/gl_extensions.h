// The OpenGL extension entry points, fetched by name when the window's
// context is made and kept in process-wide pointers that stay null when the
// driver lacks them: every use must test its pointer first. They live in
// namespace glext so they never collide with a library's own prototypes.
// Depends on the window service's entry-point lookup (platform/gl_window.h).
#pragma once
#include "gfx2d/gl_headers.h"

// One row per entry point: X(pointer type, name, the extension that offers
// it, the GL version (times 10) from which the core offers it, 0 for none).
// Drivers hand out a callable stub for any name asked, so a pointer is
// fetched only when the context offers its extension (or version); the
// loader, the pointers and the reset all come from this one list.
#define VANTRIC_GL_EXTENSION_ENTRY_POINTS(X)                                                             \
    X(PFNGLACTIVETEXTUREARBPROC, glActiveTextureARB, "GL_ARB_multitexture", 0)                           \
    X(PFNGLCLIENTACTIVETEXTUREARBPROC, glClientActiveTextureARB, "GL_ARB_multitexture", 0)               \
    X(PFNGLMULTITEXCOORD2FARBPROC, glMultiTexCoord2fARB, "GL_ARB_multitexture", 0)                       \
    X(PFNGLGENBUFFERSARBPROC, glGenBuffersARB, "GL_ARB_vertex_buffer_object", 0)                         \
    X(PFNGLBINDBUFFERARBPROC, glBindBufferARB, "GL_ARB_vertex_buffer_object", 0)                         \
    X(PFNGLBUFFERDATAARBPROC, glBufferDataARB, "GL_ARB_vertex_buffer_object", 0)                         \
    X(PFNGLDELETEBUFFERSARBPROC, glDeleteBuffersARB, "GL_ARB_vertex_buffer_object", 0)                   \
    X(PFNGLCREATEPROGRAMOBJECTARBPROC, glCreateProgramObjectARB, "GL_ARB_shader_objects", 0)             \
    X(PFNGLDELETEOBJECTARBPROC, glDeleteObjectARB, "GL_ARB_shader_objects", 0)                           \
    X(PFNGLCREATESHADEROBJECTARBPROC, glCreateShaderObjectARB, "GL_ARB_shader_objects", 0)               \
    X(PFNGLSHADERSOURCEARBPROC, glShaderSourceARB, "GL_ARB_shader_objects", 0)                           \
    X(PFNGLCOMPILESHADERARBPROC, glCompileShaderARB, "GL_ARB_shader_objects", 0)                         \
    X(PFNGLGETOBJECTPARAMETERIVARBPROC, glGetObjectParameterivARB, "GL_ARB_shader_objects", 0)           \
    X(PFNGLATTACHOBJECTARBPROC, glAttachObjectARB, "GL_ARB_shader_objects", 0)                           \
    X(PFNGLGETINFOLOGARBPROC, glGetInfoLogARB, "GL_ARB_shader_objects", 0)                               \
    X(PFNGLLINKPROGRAMARBPROC, glLinkProgramARB, "GL_ARB_shader_objects", 0)                             \
    X(PFNGLUSEPROGRAMOBJECTARBPROC, glUseProgramObjectARB, "GL_ARB_shader_objects", 0)                   \
    X(PFNGLGETUNIFORMLOCATIONARBPROC, glGetUniformLocationARB, "GL_ARB_shader_objects", 0)               \
    X(PFNGLUNIFORM1FARBPROC, glUniform1fARB, "GL_ARB_shader_objects", 0)                                 \
    X(PFNGLUNIFORM1IARBPROC, glUniform1iARB, "GL_ARB_shader_objects", 0)                                 \
    X(PFNGLGETATTRIBLOCATIONARBPROC, glGetAttribLocationARB, "GL_ARB_vertex_shader", 0)                  \
    X(PFNGLVERTEXATTRIB1FARBPROC, glVertexAttrib1fARB, "GL_ARB_vertex_shader", 0)                        \
    X(PFNGLGENFRAMEBUFFERSEXTPROC, glGenFramebuffersEXT, "GL_EXT_framebuffer_object", 0)                 \
    X(PFNGLBINDFRAMEBUFFEREXTPROC, glBindFramebufferEXT, "GL_EXT_framebuffer_object", 0)                 \
    X(PFNGLFRAMEBUFFERTEXTURE2DEXTPROC, glFramebufferTexture2DEXT, "GL_EXT_framebuffer_object", 0)       \
    X(PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC, glCheckFramebufferStatusEXT, "GL_EXT_framebuffer_object", 0)   \
    X(PFNGLDELETEFRAMEBUFFERSEXTPROC, glDeleteFramebuffersEXT, "GL_EXT_framebuffer_object", 0)           \
    X(PFNGLGENRENDERBUFFERSEXTPROC, glGenRenderbuffersEXT, "GL_EXT_framebuffer_object", 0)               \
    X(PFNGLBINDRENDERBUFFEREXTPROC, glBindRenderbufferEXT, "GL_EXT_framebuffer_object", 0)               \
    X(PFNGLRENDERBUFFERSTORAGEEXTPROC, glRenderbufferStorageEXT, "GL_EXT_framebuffer_object", 0)         \
    X(PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC, glFramebufferRenderbufferEXT, "GL_EXT_framebuffer_object", 0) \
    X(PFNGLDELETERENDERBUFFERSEXTPROC, glDeleteRenderbuffersEXT, "GL_EXT_framebuffer_object", 0)         \
    X(PFNGLGENERATEMIPMAPEXTPROC, glGenerateMipmapEXT, "GL_EXT_framebuffer_object", 0)                   \
    X(PFNGLBLENDFUNCSEPARATEPROC, glBlendFuncSeparate, "GL_EXT_blend_func_separate", 14)

namespace glext {

#define VANTRIC_DECLARE_ENTRY_POINT(type, name, extension, coreVersion) extern type name;
VANTRIC_GL_EXTENSION_ENTRY_POINTS(VANTRIC_DECLARE_ENTRY_POINT)
#undef VANTRIC_DECLARE_ENTRY_POINT

// Fetches every entry point that the current context offers; each one it
// does not offer, or the driver does not hand out, stays null and is
// reported to the error log as "ext: <name padded to 35>   [FAILED]\n".
// Returns the number found.
int loadEntryPoints();
// Sets every pointer back to null (the context is gone).
void clearEntryPoints();

// True when the current context lists the extension under exactly this name.
// False without a context, for a null or empty name, and for a name that
// only begins or ends another one's.
bool hasExtension(const char* name);

// True when a driver with this extension list (names separated by blanks) and
// version text ("4.5 (Compatibility Profile) Mesa ...") offers what
// `extension` brings, or, with coreVersion above 0 (major times 10 plus
// minor), whose version reaches it. Null texts offer nothing.
bool driverOffers(const char* extensionList, const char* versionText, const char* extension, int coreVersion);

}  // namespace glext
