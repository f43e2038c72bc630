// The extension entry points and the extension test.
#include "gfx2d/gl_extensions.h"

#include <cstdio>
#include <cstring>

#include "platform/gl_window.h"
#include "runtime/files/error_log.h"

namespace glext {

#define VANTRIC_DEFINE_ENTRY_POINT(type, name) type name = nullptr;
VANTRIC_GL_EXTENSION_ENTRY_POINTS(VANTRIC_DEFINE_ENTRY_POINT)
#undef VANTRIC_DEFINE_ENTRY_POINT

namespace {

template <typename Pointer>
int fetch(Pointer& target, const char* name) {
    target = reinterpret_cast<Pointer>(platform::glEntryPoint(name));
    if (target) return 1;
    char line[96];
    std::snprintf(line, sizeof line, "ext: %-35s   [FAILED]\n", name);
    appendToErrorLog(line);
    return 0;
}

}  // namespace

int loadEntryPoints() {
    int found = 0;
#define VANTRIC_FETCH_ENTRY_POINT(type, name) found += fetch(name, #name);
    VANTRIC_GL_EXTENSION_ENTRY_POINTS(VANTRIC_FETCH_ENTRY_POINT)
#undef VANTRIC_FETCH_ENTRY_POINT
    return found;
}

void clearEntryPoints() {
#define VANTRIC_CLEAR_ENTRY_POINT(type, name) name = nullptr;
    VANTRIC_GL_EXTENSION_ENTRY_POINTS(VANTRIC_CLEAR_ENTRY_POINT)
#undef VANTRIC_CLEAR_ENTRY_POINT
}

bool hasExtension(const char* name) {
    if (!name || !*name || !platform::hasCurrentGLContext()) return false;
    const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!list) return false;
    size_t length = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += length) {
        bool startsWord = p == list || p[-1] == ' ';
        bool endsWord = p[length] == ' ' || p[length] == 0;
        if (startsWord && endsWord) return true;
    }
    return false;
}

}  // namespace glext
