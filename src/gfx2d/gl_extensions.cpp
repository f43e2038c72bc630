// The extension entry points and the extension test. Depends on the window
// service's entry-point lookup and the error log.
#include "gfx2d/gl_extensions.h"

#include <cstdio>
#include <cstring>

#include "platform/gl_window.h"
#include "runtime/files/error_log.h"

namespace glext {

#define VANTRIC_DEFINE_ENTRY_POINT(type, name, extension, coreVersion) type name = nullptr;
VANTRIC_GL_EXTENSION_ENTRY_POINTS(VANTRIC_DEFINE_ENTRY_POINT)
#undef VANTRIC_DEFINE_ENTRY_POINT

namespace {

// True when the blank-separated list holds exactly this name.
bool listHolds(const char* list, const char* name) {
    if (!list || !name || !*name) return false;
    const size_t length = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += length) {
        const bool startsWord = p == list || p[-1] == ' ';
        const bool endsWord = p[length] == ' ' || p[length] == 0;
        if (startsWord && endsWord) return true;
    }
    return false;
}

// "major.minor" at the start of a version text, as major * 10 + minor; 0 when unreadable.
int versionNumber(const char* text) {
    int major = 0, minor = 0;
    if (!text || std::sscanf(text, "%d.%d", &major, &minor) != 2 || major < 0 || minor < 0 || minor > 9) return 0;
    return major * 10 + minor;
}

template <typename Pointer>
int fetch(Pointer& target, const char* name, bool offered) {
    target = offered ? reinterpret_cast<Pointer>(platform::glEntryPoint(name)) : nullptr;
    if (target) return 1;
    char line[96];
    std::snprintf(line, sizeof line, "ext: %-35s   [FAILED]\n", name);
    appendToErrorLog(line);
    return 0;
}

}  // namespace

bool driverOffers(const char* extensionList, const char* versionText, const char* extension, int coreVersion) {
    if (listHolds(extensionList, extension)) return true;
    return coreVersion > 0 && versionNumber(versionText) >= coreVersion;
}

int loadEntryPoints() {
    int found = 0;
    // Without a context nothing is offered (and GL may not be asked).
    const bool context = platform::hasCurrentGLContext();
    const char* extensions = context ? reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)) : nullptr;
    const char* version = context ? reinterpret_cast<const char*>(glGetString(GL_VERSION)) : nullptr;
#define VANTRIC_FETCH_ENTRY_POINT(type, name, extension, coreVersion) \
    found += fetch(name, #name, driverOffers(extensions, version, extension, coreVersion));
    VANTRIC_GL_EXTENSION_ENTRY_POINTS(VANTRIC_FETCH_ENTRY_POINT)
#undef VANTRIC_FETCH_ENTRY_POINT
    return found;
}

void clearEntryPoints() {
#define VANTRIC_CLEAR_ENTRY_POINT(type, name, extension, coreVersion) name = nullptr;
    VANTRIC_GL_EXTENSION_ENTRY_POINTS(VANTRIC_CLEAR_ENTRY_POINT)
#undef VANTRIC_CLEAR_ENTRY_POINT
}

bool hasExtension(const char* name) {
    if (!name || !*name || !platform::hasCurrentGLContext()) return false;
    return listHolds(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

}  // namespace glext
