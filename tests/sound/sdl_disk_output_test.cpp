// The sound device on SDL2's real audio output, with the "disk" driver: the
// frames the mixer hands to SDL are written to a file, and the samples of a
// played WAV are found there in order.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <algorithm>
#include <thread>

#include "file_bytes.h"
#include "platform/audio_output.h"
#include "runtime/services/runtime_error.h"
#include "sound/sound_commands.h"
#include "sound/sound_system.h"
#include "sound_test_support.h"
#include "temp_dir.h"

using namespace soundtest;

namespace {

TEST(SdlDiskOutput, APlayedSoundReachesTheOutputFile) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv tmp("TMPDIR", dir.path().c_str());
    testsupport::ScopedEnv driver("SDL_AUDIODRIVER", "disk");
    const std::string raw = dir.file("output.raw");
    testsupport::ScopedEnv file("SDL_DISKAUDIOFILE", raw.c_str());

    // 0.1 s of a pattern no stretch of silence or noise repeats.
    std::vector<int16_t> pattern;
    for (int i = 0; i < 2205; ++i) pattern.push_back(static_cast<int16_t>((i * 37) % 20000 - 10000 + 1));
    const std::string wav = dir.file("pattern.wav");
    testsupport::writeFileBytes(wav, monoWav(pattern));

    platform::setAudioOutputMaker(nullptr);  // SDL2's output
    ASSERT_TRUE(createSoundSystem(fakeWindow()));
    LoadSound(RtString(wav.c_str()), 1, 1);
    ASSERT_EQ(RtErrorCode, 0);
    const int32_t channel = PlaySoundSlot(1, 0, 1);
    ASSERT_EQ(channel, 256);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (IsSoundPlaying(channel) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(IsSoundPlaying(channel), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));  // the last callback's frames
    releaseSoundSystem();

    // 16-bit stereo at 22,050 Hz: each sample on both channels.
    const std::string bytes = testsupport::readFileBytes(raw);
    std::vector<int16_t> written(bytes.size() / 2);
    std::memcpy(written.data(), bytes.data(), written.size() * 2);
    std::vector<int16_t> expected;
    for (int16_t s : pattern) {
        expected.push_back(s);
        expected.push_back(s);
    }
    auto at = std::search(written.begin(), written.end(), expected.begin(), expected.end());
    ASSERT_NE(at, written.end()) << "the pattern is not in the " << bytes.size() << " bytes written";
    EXPECT_EQ((at - written.begin()) % 2, 0);  // starts on a left sample
}

}  // namespace

namespace {

// SDL_AUDIODRIVER=dummy, as the tests and CI run: a device that exists and
// consumes the mix in real time, into nothing.
TEST(SdlDummyOutput, MixesIntoNothingInRealTime) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv tmp("TMPDIR", dir.path().c_str());
    testsupport::ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    const std::string wav = dir.file("short.wav");
    testsupport::writeFileBytes(wav, monoWav(std::vector<int16_t>(1102, 3000)));  // 50 ms
    platform::setAudioOutputMaker(nullptr);
    ASSERT_TRUE(createSoundSystem(fakeWindow()));
    LoadSound(RtString(wav.c_str()), 4000, 2);
    ASSERT_EQ(RtErrorCode, 0);
    ASSERT_EQ(PlaySoundSlot(4000, 0, 1), 4000 * 256);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (IsSoundPlaying(4000 * 256) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(IsSoundPlaying(4000 * 256), 0);
    releaseSoundSystem();
}

}  // namespace
