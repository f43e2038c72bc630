// Reading levels by file name. Depends on level_data.h and level_text.h.
#include "level_files.h"

#include <cctype>
#include <cstdio>

#include "level_text.h"

namespace levels {

namespace {
bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The digits that follow `prefix` in the base name, up to `suffix`.
int32_t numberBetween(const std::string& base, const std::string& prefix, const std::string& suffix) {
    if (base.rfind(prefix, 0) != 0 || !endsWith(base, suffix)) return -1;
    const std::string digits = base.substr(prefix.size(), base.size() - prefix.size() - suffix.size());
    if (digits.empty() || digits.size() > 4) return -1;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    }
    return std::stoi(digits);
}
}  // namespace

std::string sourceFileName(int32_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "level_%02d.txt", number);
    return name;
}

int32_t levelNumberOfPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    for (char& c : base) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const int32_t fromSource = numberBetween(base, "level_", ".txt");
    return fromSource >= 0 ? fromSource : numberBetween(base, "shol", ".dat");
}

bool loadLevelFile(const std::string& path, LevelData& level, std::vector<std::string>& errors) {
    std::string bytes, why;
    if (!readWholeFile(path, bytes, &why)) {
        errors.push_back("cannot read: " + why);
        return false;
    }
    if (endsWith(path, ".txt")) return parseLevelText(bytes, level, errors);
    if (!decodeLevel(bytes, level, why)) {
        errors.push_back(why);
        return false;
    }
    return true;
}

int forEachSource(const std::string& sources, const SourceAction& act) {
    int failures = 0;
    for (int32_t n = 0; n < kLevelCount; ++n) {
        const std::string path = sources + "/" + sourceFileName(n);
        LevelData level;
        std::vector<std::string> problems;
        if (loadLevelFile(path, level, problems)) act(n, level, problems);
        for (const std::string& p : problems) std::fprintf(stderr, "%s: %s\n", path.c_str(), p.c_str());
        failures += problems.empty() ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace levels
