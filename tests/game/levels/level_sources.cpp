#include "level_sources.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "level_files.h"
#include "level_text.h"

namespace leveltest {

namespace {
std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}
}  // namespace

std::string sourcesFolder() { return env("VANTRIC_SOURCE_DIR") + "/levels"; }
std::string mediaFolder() { return env("VANTRIC_MEDIA_DIR"); }
std::string dataFolder() { return mediaFolder() + "/Data"; }

std::string readText(const std::string& path) {
    std::string text;
    EXPECT_TRUE(levels::readWholeFile(path, text)) << path;
    return text;
}

levels::LevelData sourceLevel(int number) {
    levels::LevelData level;
    std::vector<std::string> errors;
    EXPECT_TRUE(levels::parseLevelText(readText(sourcesFolder() + "/" + levels::sourceFileName(number)), level, errors))
        << "level " << number << ": " << (errors.empty() ? "" : errors[0]);
    return level;
}

}  // namespace leveltest
