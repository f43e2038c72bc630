// The environment over getenv, setenv and unsetenv.
#include "platform/environment.h"

#include <cstdlib>
#include <cstring>
#include <string>

extern char** environ;

namespace platform {

const char* environmentValue(const char* name) { return name ? std::getenv(name) : nullptr; }

bool putEnvironmentText(const char* text) {
    if (!text) return false;
    const char* equals = std::strchr(text, '=');
    if (!equals || equals == text) return false;
    std::string name(text, static_cast<size_t>(equals - text));
    const char* value = equals + 1;
    if (*value == '\0') return unsetenv(name.c_str()) == 0;
    return setenv(name.c_str(), value, 1) == 0;
}

char** environmentEntries() {
    static char* none[] = {nullptr};
    return environ ? environ : none;
}

}  // namespace platform
