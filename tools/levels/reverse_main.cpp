// levels_reverse <level file> [text file]: the canonical text of a level
// file (one saved by the editor, say), written to the text file or printed,
// so that an edited level can come home to the sources. It reads the file as
// the checker does (a text source gives its canonical text).
#include <cstdio>
#include <string>
#include <vector>

#include "level_files.h"
#include "level_text.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: levels_reverse <level file> [text file]\n");
        return 2;
    }
    levels::LevelData level;
    std::vector<std::string> problems;
    if (!levels::loadLevelFile(argv[1], level, problems)) {
        for (const std::string& p : problems) std::fprintf(stderr, "%s: %s\n", argv[1], p.c_str());
        return 1;
    }
    const std::string text = levels::levelToText(level);
    if (argc == 2) {
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    std::string why;
    if (!levels::writeWholeFile(argv[2], text, &why)) {
        std::fprintf(stderr, "%s: cannot write: %s\n", argv[2], why.c_str());
        return 1;
    }
    return 0;
}
