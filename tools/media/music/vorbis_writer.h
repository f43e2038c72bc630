// Ogg Vorbis output of the music generator through libvorbisenc, with a
// fixed stream serial number and no date in its comments, so the same
// samples always give the same file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace media {

// interleaved holds frames * channels samples from -1 to 1. Throws MediaError.
std::string encodeOggVorbis(const std::vector<float>& interleaved, int channels, uint32_t rate, double quality,
                            const std::string& title);

}  // namespace media
