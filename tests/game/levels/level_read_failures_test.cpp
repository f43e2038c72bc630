// A level that cannot be read or written: the level tools (the checker,
// levels_reverse, the solver, the compiler) say why in the system's own words.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "level_files.h"
#include "temp_dir.h"

namespace {

std::vector<std::string> readFailure(const std::string& path) {
    levels::LevelData level;
    std::vector<std::string> errors;
    EXPECT_FALSE(levels::loadLevelFile(path, level, errors)) << path;
    return errors;
}

TEST(LevelReadFailures, SayTheSystemsReason) {
    testsupport::TempDir dir;
    const auto because = [](int cause) {
        return std::vector<std::string>{"cannot read: " + std::string(std::strerror(cause))};
    };
    EXPECT_EQ(readFailure(dir.file("shol3.dat")), because(ENOENT));
    EXPECT_EQ(readFailure(dir.path()), because(EISDIR)) << "a folder opens, then fails to read";
    std::string why;
    EXPECT_FALSE(levels::writeWholeFile(dir.file("missing/level_03.txt"), "text", &why));
    EXPECT_EQ(why, std::strerror(ENOENT));
}

}  // namespace
