// levels_compile <sources folder> <Data folder>: compiles the 31 text sources
// level_00.txt to level_30.txt into shol0.dat to shol30.dat, checking each;
// any fault in any level fails the whole run (status 1) and names the level.
#include <cstdio>
#include <string>
#include <vector>

#include "level_checker.h"
#include "level_files.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: levels_compile <sources folder> <Data folder>\n");
        return 2;
    }
    const std::string sources = argv[1], out = argv[2];
    int failures = 0;
    for (int32_t n = 0; n < levels::kLevelCount; ++n) {
        const std::string name = levels::sourceFileName(n);
        levels::LevelData level;
        std::vector<std::string> problems;
        if (levels::loadLevelFile(sources + "/" + name, level, problems)) problems = levels::checkLevel(level, n);
        if (problems.empty() && !levels::writeWholeFile(out + "/" + levels::levelFileName(n), levels::encodeLevel(level))) {
            problems.push_back("cannot write " + out + "/" + levels::levelFileName(n));
        }
        for (const std::string& p : problems) std::fprintf(stderr, "%s: %s\n", name.c_str(), p.c_str());
        failures += problems.empty() ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}
