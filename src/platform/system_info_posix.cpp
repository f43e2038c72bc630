// System information over POSIX, /proc and /sys.
#include "platform/system_info.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

namespace platform {
namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string firstLineOf(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line)) return "";
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line;
}

// XDG_DOCUMENTS_DIR="$HOME/Documents" from the user-dirs file; "" when absent.
std::string documentsFromUserDirs(const std::string& home) {
    std::string config = env("XDG_CONFIG_HOME");
    if (config.empty() || config[0] != '/') config = home + "/.config";
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
        if (value.empty() || value[0] != '/') return "";
        return withoutTrailingSlash(value);
    }
    return "";
}

}  // namespace

std::string executablePath() {
    std::vector<char> buffer(4096);
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return "";
    return std::string(buffer.data(), static_cast<size_t>(n));
}

std::string executableFolder() {
    std::string path = executablePath();
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool changeWorkingFolder(const std::string& folder) { return !folder.empty() && chdir(folder.c_str()) == 0; }

std::string documentsFolder() {
    std::string home = withoutTrailingSlash(env("HOME"));
    if (home.empty()) return "";
    std::string fromUserDirs = documentsFromUserDirs(home);
    return fromUserDirs.empty() ? home + "/Documents" : fromUserDirs;
}

std::string dataFolder() {
    std::string data = env("XDG_DATA_HOME");
    if (!data.empty() && data[0] == '/') return withoutTrailingSlash(data);
    std::string home = withoutTrailingSlash(env("HOME"));
    return home.empty() ? "" : home + "/.local/share";
}

std::string localeName() {
    std::string value;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        value = env(name);
        if (!value.empty()) break;
    }
    if (value.empty()) return "C";
    size_t cut = value.find_first_of(".@");
    if (cut != std::string::npos) value.resize(cut);
    return value.empty() ? "C" : value;
}

int batteryPercent(const std::string& powerSupplyRoot) {
    DIR* dir = opendir(powerSupplyRoot.c_str());
    if (!dir) return -1;
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::string base = powerSupplyRoot + "/" + name;
        if (firstLineOf(base + "/type") != "Battery") continue;
        std::string capacity = firstLineOf(base + "/capacity");
        if (capacity.empty()) continue;
        char* end = nullptr;
        long percent = std::strtol(capacity.c_str(), &end, 10);
        if (end == capacity.c_str()) continue;
        return static_cast<int>(percent < 0 ? 0 : (percent > 100 ? 100 : percent));
    }
    return -1;
}

}  // namespace platform
