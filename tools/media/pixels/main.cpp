// media_pixels: draws every picture of the game from the art sources.
//   media_pixels <art index file> <output folder>
// Exit status 0 when every sheet was written, 1 with "file:line: message"
// on standard error otherwise.
#include <cstdio>
#include <exception>

#include "art_script.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: media_pixels <art index file> <output folder>\n");
        return 2;
    }
    try {
        media::ArtScript script(argv[2]);
        script.runFile(argv[1]);
        script.finish();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "media_pixels: %s\n", e.what());
        return 1;
    }
    return 0;
}
