// media_music: renders the game's tune and encodes it as Ogg Vorbis.
//   media_music <score file> <output folder>
// Exit status 0 on success, 1 with "file:line: message" on standard error.
#include <cstdio>
#include <exception>

#include "../common/text_source.h"
#include "score.h"
#include "vorbis_writer.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: media_music <score file> <output folder>\n");
        return 2;
    }
    try {
        media::Score score = media::readScore(argv[1]);
        std::vector<float> loop = media::renderScore(score);
        media::writeWholeFile(std::string(argv[2]) + "/" + score.file,
                              media::encodeOggVorbis(loop, 2, score.rate, score.quality, "Shoalrunner"));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "media_music: %s\n", e.what());
        return 1;
    }
    return 0;
}
