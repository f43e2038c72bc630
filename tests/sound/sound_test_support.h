// Helpers of the sound tests: WAV and OGG files made in memory, a sound
// system on the manual audio output (no thread: the tests mix), and reading
// the mix back.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace soundtest {

// A RIFF/WAVE file. Fields left alone make a valid PCM file; the others let
// a test break it in every way a file can lie.
struct WavSpec {
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16;
    int32_t blockAlign = -1;       // -1: channels × bits / 8
    std::string samples;           // the data chunk's bytes
    int64_t dataSize = -1;         // -1: samples.size(); the size field may lie
    uint32_t fmtExtra = 0;         // bytes after the 16 of the format (18 = extra-size field)
    int64_t fmtSize = -1;          // -1: 16 + fmtExtra
    std::string chunkBeforeFmt;    // a whole extra chunk, id and size included
    std::string chunkBetween;      // the same between "fmt " and "data"
    std::string riff = "RIFF";
    std::string wave = "WAVE";
};
std::string makeWav(const WavSpec& spec);
// A chunk with its header: id, size, content.
std::string chunk(const std::string& id, const std::string& content);

// Little-endian samples as bytes.
std::string samples16(const std::vector<int16_t>& values);
std::string samples8(const std::vector<uint8_t>& values);

// An OGG Vorbis file of the interleaved samples (libvorbisenc, quality 0.4).
std::string makeOgg(const std::vector<float>& interleaved, int channels, long rate);
// A sine of `seconds` at `hz` and amplitude 0..1, interleaved over the channels.
std::vector<float> sine(double seconds, double hz, double amplitude, int channels, long rate);

// The sound system on the manual output, with a stand-in window handle.
void startSoundOnManualOutput();
// The sound system on an output that never opens (no audio device).
void startSoundWithoutDevice();
// Mixes `frames` frames of the device's format (16-bit stereo at 22,050 Hz
// once the sound system made it) and returns the samples.
std::vector<int16_t> mixStereo16(uint32_t frames);

// A window handle: any non-null value.
const void* fakeWindow();

// A test with its own temporary folder (TMPDIR, so the error log lands in
// it) and the sound system on the manual output; released afterwards. It
// starts with no runtime error recorded, whatever the cases before it left.
class SoundTest : public ::testing::Test {
protected:
    SoundTest();
    void SetUp() override;
    void TearDown() override;
    // Writes the bytes to a file of the folder; returns its path.
    std::string writeFile(const std::string& name, const std::string& bytes);
    // The error log's text.
    std::string errorLog() const;

    testsupport::TempDir dir;
    testsupport::ScopedEnv tmp{"TMPDIR", dir.path().c_str()};
};

// A WAV of 16-bit mono samples at 22,050 Hz, the device's own rate.
std::string monoWav(const std::vector<int16_t>& values);

}  // namespace soundtest
