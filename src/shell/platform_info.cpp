// The platform-information command. Depends on the system information and
// window services, the system's random source (a new host identifier) and
// the program's registered project hooks.
#include "shell/platform_info.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <string>

#include "gfx2d/gl_extensions.h"
#include "platform/gl_window.h"
#include "platform/system_info.h"
#include "runtime/engine/project_hooks.h"
#include "runtime/files/temp_folder.h"

const char* powerSupplyFolder = "/sys/class/power_supply";

namespace {

const char* const kNoData = "NO_DATA";

RtString textOrNoData(const std::string& text) { return RtString(text.empty() ? kNoData : text.c_str()); }

// A text the program's hook gives; without the hook there is no data.
RtString projectText(RtString (*hook)()) { return hook ? hook() : RtString(kNoData); }

std::string timeText(bool universal, const char* format) {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    if (universal) gmtime_r(&now, &parts);
    else localtime_r(&now, &parts);
    char buffer[32];
    return std::strftime(buffer, sizeof buffer, format, &parts) ? buffer : "";
}

bool isHexIdentifier(const std::string& text) {
    if (text.size() != 32) return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

// The identifier kept in the data folder; a new one is drawn and kept when
// the file is missing or holds something else; "" when it cannot be kept.
std::string hostIdentifier() {
    std::string data = platform::dataFolder();
    if (data.empty()) return "";
    std::string folder = data + "/Vantric";
    std::string path = folder + "/vantric.deviceid";
    std::string kept;
    {
        std::ifstream in(path);
        std::getline(in, kept);
    }
    if (isHexIdentifier(kept)) return kept;
    // From the system's random source, not the program's generator: two
    // machines whose generators were seeded alike would share identifiers,
    // and drawing here would change the program's own sequence.
    std::string id;
    try {
        std::random_device source;
        char digits[9];
        for (int i = 0; i < 4; ++i) {
            std::snprintf(digits, sizeof digits, "%08x", static_cast<uint32_t>(source()));
            id += digits;
        }
    } catch (const std::exception&) {
        return "";  // no random source: no identifier rather than a shared one
    }
    for (size_t slash = 1; (slash = folder.find('/', slash)) != std::string::npos; ++slash) {
        mkdir(folder.substr(0, slash).c_str(), 0700);
    }
    mkdir(folder.c_str(), 0700);
    std::ofstream out(path, std::ios::trunc);
    out << id;
    out.close();
    return out ? id : "";  // not kept: the next call would answer another identifier
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

RtString GetPlatformInfo(const RtString& key) {
    const char* k = key.data ? key.data : "";
    if (key.length == 0) return RtString("LINUX");
    if (std::strcmp(k, "DEVICE") == 0) return RtString("DESKTOP");
    if (std::strcmp(k, "DOCUMENTS") == 0) return textOrNoData(platform::documentsFolder());
    if (std::strcmp(k, "TEMP") == 0) return textOrNoData(withoutTrailingSlash(temporaryFolder().data));
    if (std::strcmp(k, "APPDATA") == 0) return textOrNoData(platform::dataFolder());
    if (std::strcmp(k, "LOCALE") == 0) return textOrNoData(platform::localeName());
    if (std::strcmp(k, "TIME") == 0) return textOrNoData(timeText(false, "%H:%M:%S"));
    if (std::strcmp(k, "UTCTIME") == 0) return textOrNoData(timeText(true, "%Y-%m-%d %H:%M:%S"));
    if (std::strcmp(k, "BATTERY") == 0) {
        int percent = platform::batteryPercent(powerSupplyFolder);
        return percent < 0 ? RtString(kNoData) : RtString(std::to_string(percent).c_str());
    }
    if (std::strcmp(k, "HOSTID") == 0) return textOrNoData(hostIdentifier());
    if (std::strcmp(k, "DPI") == 0) return RtString(std::to_string(platform::displayDpi()).c_str());
    if (std::strncmp(k, "GLEXT:", 6) == 0) return RtString(glext::hasExtension(k + 6) ? "1" : "0");
    if (std::strcmp(k, "COMPILED") == 0) return projectText(projectHooks.getBuildDateTime);
    if (std::strcmp(k, "ID") == 0) return projectText(projectHooks.getProjectId);
    if (std::strcmp(k, "VERSION") == 0) return projectText(projectHooks.getProjectVersion);
    return RtString(kNoData);
}
