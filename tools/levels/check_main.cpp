// levels_check <file>...: checks level files or text sources; the level
// number, when the name holds one (shol7.dat, level_07.txt), adds the story
// rules of the first and last levels. Status 1 when any file has a problem.
#include <cstdio>
#include <string>
#include <vector>

#include "level_checker.h"
#include "level_files.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: levels_check <level file or text source>...\n");
        return 2;
    }
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        levels::LevelData level;
        std::vector<std::string> problems;
        if (levels::loadLevelFile(argv[i], level, problems)) {
            problems = levels::checkLevel(level, levels::levelNumberOfPath(argv[i]));
        }
        for (const std::string& p : problems) std::printf("%s: %s\n", argv[i], p.c_str());
        if (problems.empty()) std::printf("%s: ok\n", argv[i]);
        failures += problems.empty() ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}
