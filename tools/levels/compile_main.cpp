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
    const std::string out = argv[2];
    return levels::forEachSource(argv[1], [&](int32_t n, const auto& level, auto& problems) {
        problems = levels::checkLevel(level, n);
        const std::string file = out + "/" + levels::levelFileName(n);
        std::string why;
        if (problems.empty() && !levels::writeWholeFile(file, levels::encodeLevel(level), &why)) {
            problems.push_back("cannot write " + file + ": " + why);
        }
    });
}
