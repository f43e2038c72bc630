// The desktop device layer's sounds and music: the game's ten effects as ten
// sounds of their own, overlapping plays at a volume, the error code left
// alone, and OGG music streamed, looped, turned down at once and ended.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

#include "runtime/files/mem_blocks.h"
#include "runtime/services/runtime_error.h"
#include "platform/audio_mixer.h"
#include "sound/desktop_audio.h"
#include "sound/music_stream.h"
#include "sound/sound_device.h"
#include "sound/sound_slot.h"
#include "sound/sound_system.h"
#include "sound_test_support.h"

using namespace soundtest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

int peak(const std::vector<int16_t>& samples) {
    int most = 0;
    for (int16_t s : samples) most = std::max(most, std::abs(static_cast<int>(s)));
    return most;
}

class DesktopSoundTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        setDesktopMusicFeeder(false);  // the tests decode with serviceDesktopMusic
    }
    // `seconds` of the mix, decoding the music between slices of 20 ms as the feeder would.
    std::vector<int16_t> play(double seconds) {
        std::vector<int16_t> all;
        const uint32_t slice = 441;
        for (uint32_t done = 0; done < seconds * 22050; done += slice) {
            serviceDesktopMusic();
            std::vector<int16_t> part = mixStereo16(slice);
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    }
    std::string oggFile(const std::string& name, double seconds, int channels = 2, long rate = 22050) {
        return writeFile(name, makeOgg(sine(seconds, 440, 0.5, channels, rate), channels, rate));
    }
};

TEST_F(DesktopSoundTest, TheGamesTenEffectsArriveAsTenDistinctSounds) {
    const char* names[] = {"move.wav",  "tinkle01.wav", "pop.wav",   "boom2.wav",    "drag4.wav",
                           "boulder.wav", "creak.wav",  "reel.wav", "tinkle02.wav", "till.wav"};
    std::vector<int32_t> handles;
    for (int k = 0; k < 10; ++k) {
        // Each file holds a level of its own: 1000 for the first, 2000 for the second ...
        const int16_t level = static_cast<int16_t>((k + 1) * 1000);
        handles.push_back(addDesktopSound(writeFile(names[k], monoWav({level, level})).c_str()));
    }
    EXPECT_EQ(handles, (std::vector<int32_t>{4095, 4094, 4093, 4092, 4091, 4090, 4089, 4088, 4087, 4086}));
    EXPECT_EQ(desktopSoundsLoading(), 0);
    for (int k = 0; k < 10; ++k) {
        ASSERT_TRUE(playDesktopSound(handles[k], 1.0));
        EXPECT_EQ(mixStereo16(1), (std::vector<int16_t>{static_cast<int16_t>((k + 1) * 1000),
                                                        static_cast<int16_t>((k + 1) * 1000)}))
            << names[k];
        mixStereo16(1);  // to its end
    }
}

TEST_F(DesktopSoundTest, PlaysOverlapAtTheirVolume) {
    const int32_t handle = addDesktopSound(writeFile("pop.wav", monoWav({10000, 10000, 10000, 10000})).c_str());
    ASSERT_GE(handle, 0);
    EXPECT_TRUE(playDesktopSound(handle, 0.5));
    mixStereo16(1);
    EXPECT_TRUE(playDesktopSound(handle, 0.1));
    EXPECT_EQ(mixStereo16(1), (std::vector<int16_t>{6000, 6000}));  // 5000 + 1000
    EXPECT_TRUE(playDesktopSound(handle, 0.2));
    EXPECT_TRUE(playDesktopSound(handle, 0.2));
    EXPECT_TRUE(playDesktopSound(handle, kNaN));  // silent, cuts the oldest voice
    EXPECT_EQ(engineSoundDevice()->device->mixer().playingVoices(), 4u);
}

TEST_F(DesktopSoundTest, FailuresReturnMinusOneAndKeepTheErrorCode) {
    RtErrorCode = 21;
    EXPECT_EQ(addDesktopSound(dir.file("missing.wav").c_str()), -1);
    EXPECT_EQ(addDesktopSound(writeFile("bad.wav", "RIFF but not much else").c_str()), -1);
    EXPECT_EQ(addDesktopSound(nullptr), -1);
    EXPECT_FALSE(playDesktopSound(-1, 1.0));
    EXPECT_FALSE(playDesktopSound(4096, 1.0));
    EXPECT_FALSE(playDesktopSound(100, 1.0));  // nothing loaded there
    EXPECT_FALSE(playDesktopMusic(dir.file("missing.ogg").c_str(), 1.0, true));
    EXPECT_EQ(RtErrorCode, 21);
    EXPECT_NE(errorLog().find("Music: cannot open as OGG Vorbis: "), std::string::npos);
}

TEST_F(DesktopSoundTest, MusicStreamsLoopsAndTurnsDownAtOnce) {
    ASSERT_TRUE(playDesktopMusic(oggFile("tune.ogg", 0.3).c_str(), 1.0, true));
    EXPECT_TRUE(isDesktopMusicPlaying());
    std::vector<int16_t> first = play(0.2);
    EXPECT_GT(peak(first), 13000);  // a sine of amplitude 0.5 (16384), lossy
    EXPECT_LT(peak(first), 20000);
    // Long after the file's 0.3 s the loop still sounds.
    play(1.5);
    EXPECT_GT(peak(play(0.2)), 13000);
    setDesktopMusicVolume(0.0);
    EXPECT_EQ(peak(play(0.05)), 0);
    setDesktopMusicVolume(0.5);
    const int half = peak(play(0.2));
    EXPECT_GT(half, 6500);
    EXPECT_LT(half, 10000);
    setDesktopMusicVolume(kNaN);
    EXPECT_EQ(peak(play(0.05)), 0);
    stopDesktopMusic();
    EXPECT_FALSE(isDesktopMusicPlaying());
    EXPECT_EQ(peak(play(0.05)), 0);
}

TEST_F(DesktopSoundTest, MusicStartsFromSilenceWithoutAStepAndLoopsWithoutAFade) {
    // A cosine: its first sample is the peak. 132 whole cycles, so the loop
    // joins without a step of its own.
    const long rate = 22050;
    std::vector<float> wave;
    for (long i = 0; i < rate * 3 / 10; ++i) {
        const float level = static_cast<float>(0.5 * std::cos(2 * M_PI * 440.0 * i / rate));
        wave.push_back(level);
        wave.push_back(level);
    }
    ASSERT_TRUE(playDesktopMusic(writeFile("peak.ogg", makeOgg(wave, 2, rate)).c_str(), 1.0, true));
    const std::vector<int16_t> heard = play(0.5);
    ASSERT_GT(heard.size(), 2u * 7000);
    EXPECT_EQ(heard[0], 0);
    // The cosine itself moves by at most 2 pi 440 / 22050 of its peak a sample.
    int largestStep = std::abs(static_cast<int>(heard[0]));
    for (size_t i = 2; i < 2 * 441; i += 2) largestStep = std::max(largestStep, std::abs(heard[i] - heard[i - 2]));
    EXPECT_LT(largestStep, 2300);
    EXPECT_GT(peak(std::vector<int16_t>(heard.begin() + 2 * 300, heard.begin() + 2 * 441)), 13000);
    // Round the loop (sample 6615) the level stays up.
    EXPECT_GT(peak(std::vector<int16_t>(heard.begin() + 2 * 6600, heard.begin() + 2 * 6630)), 13000);
}

TEST_F(DesktopSoundTest, MusicWithoutLoopEndsAfterItsLastSample) {
    ASSERT_TRUE(playDesktopMusic(oggFile("once.ogg", 0.3, 1, 44100).c_str(), 1.0, false));
    EXPECT_GT(peak(play(0.2)), 13000);
    play(1.6);  // the rest of the file and a buffer of silence
    EXPECT_FALSE(isDesktopMusicPlaying());
    EXPECT_EQ(peak(play(0.1)), 0);
}

TEST_F(DesktopSoundTest, MusicThatCannotPlayIsRefused) {
    EXPECT_FALSE(playDesktopMusic(writeFile("noise.ogg", std::string(5000, 'x')).c_str(), 1.0, true));
    EXPECT_FALSE(playDesktopMusic(oggFile("six.ogg", 0.2, 6).c_str(), 1.0, true));
    EXPECT_NE(errorLog().find("Music: only mono or stereo music at 100 to 200,000 Hz plays: "), std::string::npos);
    EXPECT_FALSE(isDesktopMusicPlaying());
    // Truncated files: whatever the decoder makes of a broken end (silence
    // at worst), nothing is read past it.
    const std::string whole = makeOgg(sine(3.0, 440, 0.5, 2, 22050), 2, 22050);
    for (size_t cut : {whole.size() / 8, whole.size() / 2, whole.size() * 3 / 4, whole.size() - 100}) {
        playDesktopMusic(writeFile("cut.ogg", whole.substr(0, cut)).c_str(), 1.0, true);
        play(1.2);
    }
}

TEST_F(DesktopSoundTest, MusicFromAMemoryBlockIsCopied) {
    const std::string bytes = makeOgg(sine(0.3, 440, 0.5, 2, 22050), 2, 22050);
    std::vector<uint8_t> block(bytes.begin(), bytes.end());
    const uint32_t key = files::registerMemBlock(block.data(), static_cast<uint32_t>(block.size()));
    char name[32];
    files::formatMemBlockName(name, static_cast<uint32_t>(block.size()), key);
    ASSERT_TRUE(playDesktopMusic(name, 1.0, true));
    files::unregisterMemBlock(key);
    std::fill(block.begin(), block.end(), 0);  // the block is gone
    play(0.8);
    EXPECT_GT(peak(play(0.2)), 13000);
}

TEST_F(DesktopSoundTest, TheFeederThreadKeepsTheMusicGoing) {
    setDesktopMusicFeeder(true);
    ASSERT_TRUE(playDesktopMusic(oggFile("tune.ogg", 0.2).c_str(), 1.0, true));
    int loudest = 0;
    for (int i = 0; i < 40; ++i) {  // 2 s of audio mixed over about 1 s
        loudest = std::max(loudest, peak(mixStereo16(1102)));
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    EXPECT_GT(loudest, 13000);
    EXPECT_TRUE(isDesktopMusicPlaying());
    // Replacing the music stops the first feeder cleanly.
    ASSERT_TRUE(playDesktopMusic(oggFile("tune2.ogg", 0.2, 1).c_str(), 0.5, true));
    releaseSoundSystem();  // with the feeder running
    EXPECT_FALSE(isDesktopMusicPlaying());
}

TEST(MusicStreamVolume, HundredthsOfADecibel) {
    EXPECT_EQ(MusicStream::volumeToHundredthsDb(1.0), 0);
    EXPECT_EQ(MusicStream::volumeToHundredthsDb(2.0), 0);
    EXPECT_EQ(MusicStream::volumeToHundredthsDb(0.5), -602);
    EXPECT_EQ(MusicStream::volumeToHundredthsDb(0.1), -2000);
    EXPECT_EQ(MusicStream::volumeToHundredthsDb(0.0), -10000);
    EXPECT_EQ(MusicStream::volumeToHundredthsDb(-1.0), -10000);
    EXPECT_EQ(MusicStream::volumeToHundredthsDb(1e-9), -10000);
    EXPECT_EQ(MusicStream::volumeToHundredthsDb(kNaN), -10000);
}

class DesktopWithoutDevice : public SoundTest {
protected:
    void SetUp() override { startSoundWithoutDevice(); }
};

TEST_F(DesktopWithoutDevice, NothingLoadsOrPlays) {
    EXPECT_EQ(addDesktopSound(writeFile("a.wav", monoWav({1, 2})).c_str()), -1);
    EXPECT_EQ(RtErrorCode, 0);
    EXPECT_FALSE(playDesktopSound(4095, 1.0));
    EXPECT_FALSE(playDesktopMusic(writeFile("a.ogg", makeOgg(sine(0.1, 440, 0.5, 1, 22050), 1, 22050)).c_str(),
                                  1.0, true));
    setDesktopMusicVolume(0.3);
    EXPECT_EQ(desktopSoundsLoading(), 0);
}

}  // namespace
