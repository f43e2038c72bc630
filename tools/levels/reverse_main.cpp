// levels_reverse <level file> [text file]: the canonical text of a level
// file (one saved by the editor, say), written to the text file or printed,
// so that an edited level can come home to the sources.
#include <cstdio>
#include <string>
#include <vector>

#include "level_data.h"
#include "level_text.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: levels_reverse <level file> [text file]\n");
        return 2;
    }
    std::string bytes, why;
    levels::LevelData level;
    if (!levels::readWholeFile(argv[1], bytes)) {
        std::fprintf(stderr, "%s: cannot read\n", argv[1]);
        return 1;
    }
    if (!levels::decodeLevel(bytes, level, why)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], why.c_str());
        return 1;
    }
    const std::string text = levels::levelToText(level);
    if (argc == 2) {
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    if (!levels::writeWholeFile(argv[2], text)) {
        std::fprintf(stderr, "%s: cannot write\n", argv[2]);
        return 1;
    }
    return 0;
}
