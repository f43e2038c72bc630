// levels_draw <sources folder> <Media folder>: draws the editor's picture of
// each of the 31 levels, level_00.txt to level_30.txt into 0.png to 30.png;
// a level that does not read or a picture that cannot be written fails the
// run (status 1) and is named.
#include <cstdio>
#include <string>
#include <vector>

#include "common/media_error.h"
#include "common/png_writer.h"
#include "level_files.h"
#include "level_picture.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: levels_draw <sources folder> <Media folder>\n");
        return 2;
    }
    const std::string out = argv[2];
    return levels::forEachSource(argv[1], [&](int32_t n, const auto& level, auto& problems) {
        const int32_t side = levels::kPictureCellPixels;
        try {
            media::writePngRgba(out + "/" + levels::levelPictureName(n), level.width * side, level.height * side,
                                levels::drawLevelPicture(level));
        } catch (const media::MediaError& e) {
            problems.push_back(e.what());
        }
    });
}
