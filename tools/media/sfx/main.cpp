// media_sfx: synthesises the game's sound effects.
//   media_sfx <sound source file> <output folder>
// Writes every sound of the source as 16-bit mono PCM WAV. Exit status 0
// on success, 1 with "file:line: message" on standard error otherwise.
#include <cstdio>
#include <exception>

#include "../common/synth.h"
#include "../common/wav_writer.h"
#include "sound_patch.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: media_sfx <sound source file> <output folder>\n");
        return 2;
    }
    try {
        for (const media::SoundPatch& patch : media::readSoundPatches(argv[1]))
            media::writeWavPcm16(std::string(argv[2]) + "/" + patch.file, patch.rate, 1,
                                 media::toPcm16(media::renderPatch(patch)));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "media_sfx: %s\n", e.what());
        return 1;
    }
    return 0;
}
