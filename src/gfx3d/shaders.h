// The free helpers of the shader slots (the methods are in Rainbows3D).
#pragma once
#include <cstdint>
#include <vector>

#include "gfx3d/rainbows3d.h"

// The whole text of a disk file or a "mem://" block, with a NUL after it.
// False (source empty) when the name is null or empty, nothing opens, or a
// disk file cannot be read whole.
bool readShaderSource(const char* file, std::vector<char>& source);

// The compile status (compile true) or link status of a shader object; when
// it is 0 and a callback is given, the object's info log goes to it. False
// also when the status cannot be asked.
bool checkShaderStatus(uint32_t object, bool compile, ShaderMessageCallback callback);

// The "No OpenGL 2.0 Shader Support" message comes once per run; this makes
// the next load without support report it again (for tests).
void forgetShaderSupportReport();
