// The music of the Media folder: stereo Ogg Vorbis over a minute long that
// loops without a jump and never falls silent.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstring>

#include "media_table.h"

namespace {

struct Decoded {
    int channels = 0;
    long rate = 0;
    std::string title;
    std::vector<float> samples;  // interleaved
};

bool decode(const std::string& path, Decoded& d) {
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0) return false;
    vorbis_info* vi = ov_info(&vf, -1);
    d.channels = vi->channels;
    d.rate = vi->rate;
    vorbis_comment* vc = ov_comment(&vf, -1);
    for (int i = 0; i < vc->comments; ++i)
        if (std::strncmp(vc->user_comments[i], "TITLE=", 6) == 0) d.title = vc->user_comments[i] + 6;
    for (;;) {
        float** pcm = nullptr;
        int section = 0;
        long n = ov_read_float(&vf, &pcm, 4096, &section);
        if (n <= 0) break;
        for (long i = 0; i < n; ++i)
            for (int c = 0; c < d.channels; ++c) d.samples.push_back(pcm[c][i]);
    }
    ov_clear(&vf);
    return true;
}

const Decoded& music() {
    static Decoded d;
    static bool done = false;
    if (!done) {
        done = true;
        EXPECT_TRUE(decode(mediatable::mediaFile(mediatable::kMusicFile), d));
    }
    return d;
}

}  // namespace

TEST(MediaMusic, IsStereoVorbisAMinuteAndMoreLong) {
    const Decoded& d = music();
    EXPECT_EQ(mediatable::kMusicChannels, d.channels);
    EXPECT_EQ(mediatable::kMusicRate, d.rate);
    EXPECT_EQ("Shoalrunner", d.title);
    ASSERT_GT(d.channels, 0);
    double seconds = static_cast<double>(d.samples.size()) / d.channels / static_cast<double>(d.rate);
    EXPECT_NEAR(mediatable::kMusicSeconds, seconds, 0.05);
    EXPECT_GE(seconds, 60.0);
}

TEST(MediaMusic, NeverFallsSilentAndNeverClips) {
    const Decoded& d = music();
    ASSERT_EQ(2, d.channels);
    const size_t window = static_cast<size_t>(d.rate) * 2 * 5;  // five seconds
    for (size_t start = 0; start + window <= d.samples.size(); start += window) {
        double sum = 0;
        for (size_t i = start; i < start + window; ++i) sum += d.samples[i] * d.samples[i];
        EXPECT_GT(std::sqrt(sum / window), 0.02) << "quiet from second " << start / 2 / d.rate;
    }
    float peak = 0;
    for (float s : d.samples) peak = std::max(peak, std::fabs(s));
    EXPECT_LT(peak, 1.0f);
    EXPECT_GT(peak, 0.5f);
}

TEST(MediaMusic, LoopsWithoutAJump) {
    const Decoded& d = music();
    ASSERT_EQ(2, d.channels);
    const size_t frames = d.samples.size() / 2;
    ASSERT_GT(frames, 1000u);
    double typical = 0;
    for (size_t i = 1; i < frames; ++i) typical += std::fabs(d.samples[i * 2] - d.samples[(i - 1) * 2]);
    typical /= static_cast<double>(frames - 1);
    for (int c = 0; c < 2; ++c) {
        double seam = std::fabs(d.samples[c] - d.samples[(frames - 1) * 2 + c]);
        EXPECT_LT(seam, typical * 8 + 0.01) << "channel " << c;
    }
}
