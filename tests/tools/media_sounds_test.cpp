// The sound effects of the Media folder: plain 16-bit PCM the sound loader
// takes, of the right length, loud enough and free of clicks; and the WAV
// reader and writer on their own.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "common/media_error.h"
#include "common/wav_writer.h"
#include "media_table.h"
#include "wav_reader.h"

using mediatest::WavData;

namespace {

std::string le32(uint32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}
std::string chunk(const std::string& id, const std::string& body) { return id + le32(static_cast<uint32_t>(body.size())) + body; }
std::string riff(const std::string& chunks) { return "RIFF" + le32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks; }
std::string fmt16(uint16_t channels, uint32_t rate, uint16_t bits, size_t extra = 0) {
    std::string b;
    auto put16 = [&](uint16_t v) { b += static_cast<char>(v & 0xFF), b += static_cast<char>(v >> 8); };
    put16(1);
    put16(channels);
    b += le32(rate);
    b += le32(rate * channels * bits / 8);
    put16(static_cast<uint16_t>(channels * bits / 8));
    put16(bits);
    if (extra) {
        put16(0);
        b += std::string(extra - 2, '\0');
    }
    return chunk("fmt ", b);
}

}  // namespace

TEST(MediaSounds, EverySoundIsPlainMonoPcmAtTheGamesRate) {
    for (const auto& s : mediatable::kSounds) {
        SCOPED_TRACE(s.file);
        WavData wav;
        std::string error;
        ASSERT_TRUE(mediatest::readWav(mediatable::mediaFile(s.file), wav, error)) << error;
        EXPECT_EQ(1, wav.formatTag);
        EXPECT_EQ(16u, wav.fmtSize);
        EXPECT_EQ(mediatable::kSoundChannels, wav.channels);
        EXPECT_EQ(static_cast<uint32_t>(mediatable::kSoundRate), wav.sampleRate);
        EXPECT_EQ(mediatable::kSoundBits, wav.bitsPerSample);
        EXPECT_EQ(2, wav.blockAlign);
        EXPECT_EQ(wav.sampleRate * 2, wav.byteRate);
        EXPECT_EQ(0u, wav.dataBytes % 2);
        EXPECT_GE(wav.seconds(), s.minSeconds);
        EXPECT_LE(wav.seconds(), s.maxSeconds);
    }
}

TEST(MediaSounds, EverySoundIsLoudAndStartsAndEndsWithoutAClick) {
    for (const auto& s : mediatable::kSounds) {
        SCOPED_TRACE(s.file);
        WavData wav;
        std::string error;
        ASSERT_TRUE(mediatest::readWav(mediatable::mediaFile(s.file), wav, error)) << error;
        ASSERT_GT(wav.samples.size(), 100u);
        int peak = 0;
        for (int16_t v : wav.samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
        EXPECT_GE(peak, 32767 * 85 / 100);
        EXPECT_LE(peak, 32767 * 92 / 100);
        EXPECT_LT(std::abs(wav.samples.front()), 600);
        EXPECT_LT(std::abs(wav.samples.back()), 600);
    }
}

TEST(MediaSounds, TheTenSoundsAreTheTenTheGameRegisters) {
    const char* names[] = {"move.wav",  "tinkle01.wav", "pop.wav",  "boom2.wav",    "drag4.wav",
                           "boulder.wav", "creak.wav",  "reel.wav", "tinkle02.wav", "till.wav"};
    ASSERT_EQ(10u, std::size(mediatable::kSounds));
    for (int i = 0; i < 10; ++i) {
        EXPECT_STREQ(names[i], mediatable::kSounds[i].file);
        EXPECT_EQ(i, mediatable::kSounds[i].id);
    }
}

TEST(WavReader, SkipsOtherChunksAndAnExtendedFormat) {
    std::string samples = std::string("\x01\x00\xff\x7f\x00\x80", 6);
    std::string file = riff(chunk("LIST", "abcd") + fmt16(1, 22050, 16, 2) + chunk("fact", "xyzw") + chunk("data", samples));
    WavData wav;
    std::string error;
    ASSERT_TRUE(mediatest::parseWav(file, wav, error)) << error;
    EXPECT_EQ(18u, wav.fmtSize);
    ASSERT_EQ(3u, wav.samples.size());
    EXPECT_EQ(1, wav.samples[0]);
    EXPECT_EQ(32767, wav.samples[1]);
    EXPECT_EQ(-32768, wav.samples[2]);
}

TEST(WavReader, NamesWhatIsWrongWithADamagedFile) {
    const struct { std::string bytes; const char* reason; } cases[] = {
        {"RIFX" + le32(4) + "WAVE", "not RIFF/WAVE"},
        {"RIFF" + le32(4) + "AVI ", "not RIFF/WAVE"},
        {riff(chunk("data", "ab") + fmt16(1, 22050, 16)), "data chunk before the fmt chunk"},
        {riff(fmt16(1, 22050, 16)), "no data chunk"},
        {riff(chunk("LIST", "")), "no fmt chunk"},
        {riff(fmt16(1, 22050, 16) + "data" + le32(100) + "ab"), "chunk 'data' runs past the end of the file"},
        {riff(chunk("fmt ", "short")), "fmt chunk of 5 bytes"},
        {"RIFF" + le32(99) + "WAVE", "RIFF size 99 for a file of 12 bytes"},
    };
    for (const auto& c : cases) {
        WavData wav;
        std::string error;
        EXPECT_FALSE(mediatest::parseWav(c.bytes, wav, error));
        EXPECT_EQ(c.reason, error);
    }
}

TEST(WavWriter, WritesTheCanonicalHeaderAndReadsBack) {
    std::vector<int16_t> samples = {0, 1000, -1000, 32767, -32768, 5};
    std::string bytes = media::encodeWavPcm16(44100, 2, samples);
    ASSERT_EQ(44u + 12u, bytes.size());
    EXPECT_EQ(std::string("RIFF") + le32(48) + "WAVEfmt " + le32(16), bytes.substr(0, 20));
    WavData wav;
    std::string error;
    ASSERT_TRUE(mediatest::parseWav(bytes, wav, error)) << error;
    EXPECT_EQ(2, wav.channels);
    EXPECT_EQ(44100u, wav.sampleRate);
    EXPECT_EQ(44100u * 4, wav.byteRate);
    EXPECT_EQ(4, wav.blockAlign);
    EXPECT_EQ(samples, wav.samples);
    EXPECT_THROW(media::encodeWavPcm16(22050, 2, {1, 2, 3}), media::MediaError);
    EXPECT_THROW(media::encodeWavPcm16(22050, 0, {}), media::MediaError);
}
