// GLSL shader slots of the 3-D renderer: loading from source files or memory
// blocks, compiling and linking through the ARB shader-object entry points,
// selecting a slot, and setting uniforms and attributes by name. Every
// message goes to the caller's callback; nothing is logged or recorded.
// Depends on the extension pointers (each may be null) and the read streams.
// Without glCreateProgramObjectARB no program can be made: a load then
// gives false after its compiles. A load into the slot in use selects the
// new program at once (none when the load fails).
#include <memory>
#include <vector>

#include "gfx2d/gl_extensions.h"
#include "gfx3d/rainbows3d.h"
#include "gfx3d/shaders.h"
#include "runtime/files/read_stream.h"

namespace {

bool shaderSupportMissingReported = false;

void report(ShaderMessageCallback callback, const char* message) {
    if (callback) callback(message);
}

// The object's info log to the callback.
void reportInfoLog(GLhandleARB object, ShaderMessageCallback callback) {
    if (!callback || !glext::glGetInfoLogARB) return;
    GLint length = 0;
    if (glext::glGetObjectParameterivARB) {
        glext::glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
    }
    if (length < 1) length = 1;
    std::vector<char> log(static_cast<size_t>(length) + 1, '\0');
    GLsizei written = 0;
    glext::glGetInfoLogARB(object, length, &written, log.data());
    callback(log.data());
}

// Compiles one shader of the slot from the file; the slot's handle is set
// as soon as the object exists. Absent: no source could be read.
enum class Compile { Absent, Failed, Compiled };

Compile compileFromFile(const char* file, GLenum kind, uint32_t& handle, const char* failure,
                        ShaderMessageCallback callback) {
    std::vector<char> source;
    if (!readShaderSource(file, source)) return Compile::Absent;
    const GLhandleARB shader = glext::glCreateShaderObjectARB(kind);
    handle = shader;
    if (glext::glShaderSourceARB) {
        const GLcharARB* text = source.data();
        glext::glShaderSourceARB(shader, 1, &text, nullptr);
    }
    glext::glCompileShaderARB(shader);
    if (checkShaderStatus(shader, true, nullptr)) return Compile::Compiled;
    if (callback) {
        reportInfoLog(shader, callback);
        callback(failure);
    }
    return Compile::Failed;
}

// The location of a uniform or attribute of the program in use; -1 unknown.
// False when nothing can be looked up (entry point missing, no shader in use).
template <class Lookup>
bool locate(Lookup lookup, const ShaderSlot* shaders, int32_t current, const char* name, GLint& location) {
    if (!lookup || static_cast<uint32_t>(current) >= static_cast<uint32_t>(kShaderSlotCount) || !name) return false;
    location = lookup(shaders[current].program, name);
    return true;
}

}  // namespace

bool readShaderSource(const char* file, std::vector<char>& source) {
    source.clear();
    if (!file || !*file) return false;
    ReadStream stream;
    if (!readStreamOpen(stream, file)) return false;
    bool whole = stream.size >= 0 && stream.size < INT32_MAX;
    if (whole) {
        source.assign(static_cast<size_t>(stream.size) + 1, '\0');
        whole = stream.size == 0 ||
                readStreamRead(stream, reinterpret_cast<uint8_t*>(source.data()), static_cast<int32_t>(stream.size));
    }
    readStreamClose(stream);
    if (!whole) source.clear();
    return whole;
}

bool checkShaderStatus(uint32_t object, bool compile, ShaderMessageCallback callback) {
    if (!glext::glGetObjectParameterivARB) return false;
    GLint status = 0;
    glext::glGetObjectParameterivARB(object, compile ? GL_OBJECT_COMPILE_STATUS_ARB : GL_OBJECT_LINK_STATUS_ARB,
                                     &status);
    if (status == 0 && callback) reportInfoLog(object, callback);
    return status != 0;
}

void forgetShaderSupportReport() { shaderSupportMissingReported = false; }

bool Rainbows3D::loadShader(int32_t slot, const char* vertexFile, const char* fragmentFile,
                            ShaderMessageCallback callback) {
    if (static_cast<uint32_t>(slot) >= static_cast<uint32_t>(kShaderSlotCount)) return false;
    if (!glext::glCreateShaderObjectARB || !glext::glCompileShaderARB || !glext::glLinkProgramARB) {
        if (callback && !shaderSupportMissingReported) {
            shaderSupportMissingReported = true;
            callback("No OpenGL 2.0 Shader Support");
        }
        return false;
    }
    if (!glReady()) return false;
    ShaderSlot& s = shaders[slot];
    if (glext::glDeleteObjectARB) freeShader(slot);

    bool result = false;
    switch (compileFromFile(vertexFile, GL_VERTEX_SHADER_ARB, s.vertexShader, "vertex shader failed", callback)) {
    case Compile::Compiled: result = true; break;
    case Compile::Failed: result = false; break;
    case Compile::Absent: break;
    }
    switch (compileFromFile(fragmentFile, GL_FRAGMENT_SHADER_ARB, s.fragmentShader, "fragment shader failed",
                            callback)) {
    case Compile::Compiled: result = true; break;
    case Compile::Failed: result = false; break;
    case Compile::Absent: break;
    }
    if (result && (s.vertexShader != 0 || s.fragmentShader != 0) && glext::glCreateProgramObjectARB) {
        const GLhandleARB program = glext::glCreateProgramObjectARB();
        s.program = program;
        if (glext::glAttachObjectARB) {
            if (s.vertexShader) glext::glAttachObjectARB(program, s.vertexShader);
            if (s.fragmentShader) glext::glAttachObjectARB(program, s.fragmentShader);
        }
        glext::glLinkProgramARB(program);
        if (!checkShaderStatus(program, false, callback)) {
            report(callback, "link shader failed");
            result = false;
        }
    } else if (result) {
        result = false;  // no program can be made
    }
    // The slot in use now holds what was loaded (0 on failure: the fixed
    // pipeline); GL would otherwise keep drawing with the deleted program.
    if (slot == currentShader && glext::glUseProgramObjectARB) {
        glext::glUseProgramObjectARB(result ? s.program : 0);
    }
    return result;
}

void Rainbows3D::useShader(int32_t index) {
    if (!glext::glUseProgramObjectARB || !glReady()) return;
    if (static_cast<uint32_t>(index) < static_cast<uint32_t>(kShaderSlotCount)) {
        currentShader = index;
        glext::glUseProgramObjectARB(shaders[index].program);
    } else {
        currentShader = -1;
        glext::glUseProgramObjectARB(0);
    }
}

void Rainbows3D::setUniform(const char* name, float value, ShaderMessageCallback callback) {
    GLint location = -1;
    if (!glReady() || !locate(glext::glGetUniformLocationARB, shaders, currentShader, name, location)) return;
    if (location == -1) {
        report(callback, "undefined uniform:");
        report(callback, name);
    } else if (glext::glUniform1fARB) {
        glext::glUniform1fARB(location, value);
    }
}

void Rainbows3D::setUniformInt(const char* name, int32_t value, ShaderMessageCallback callback) {
    GLint location = -1;
    if (!glReady() || !locate(glext::glGetUniformLocationARB, shaders, currentShader, name, location)) return;
    if (location == -1) {
        report(callback, "undefined uniform:");
        report(callback, name);
    } else if (glext::glUniform1iARB) {
        glext::glUniform1iARB(location, value);
    }
}

void Rainbows3D::setAttribute(const char* name, float value, ShaderMessageCallback callback) {
    GLint location = -1;
    if (!glReady() || !locate(glext::glGetAttribLocationARB, shaders, currentShader, name, location)) return;
    if (location == -1) {
        report(callback, "undefined attrib:");
        report(callback, name);
    } else if (glext::glVertexAttrib1fARB) {
        glext::glVertexAttrib1fARB(static_cast<GLuint>(location), value);
    }
}
