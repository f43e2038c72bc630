// The WAV reader: levels of known files, the chunk walk, disk files and
// "mem://" blocks, and every way a file can lie about itself (run under the
// sanitizers: nothing is read or allocated beyond what is there).
#include <gtest/gtest.h>

#include <random>

#include "runtime/files/mem_blocks.h"
#include "sound/sound_device.h"
#include "sound/sound_slot.h"
#include "sound/sound_system.h"
#include "sound_test_support.h"
#include "temp_dir.h"

using namespace soundtest;

namespace {

class WaveTest : public SoundTest {
protected:
    bool load(const std::string& bytes, int voices = 1) {
        return slot.load(engineSoundDevice(), writeFile("sound.wav", bytes).c_str(), voices);
    }
    // The bytes voice 0 holds.
    uint32_t bufferBytes() {
        void* part = nullptr;
        uint32_t bytes = 0;
        EXPECT_EQ(slot.voices[0]->lock(0, 0, &part, &bytes, nullptr, nullptr, platform::kLockEntireBuffer),
                  platform::AudioResult::Ok);
        slot.voices[0]->unlock(part, bytes, nullptr, 0);
        return bytes;
    }
    void expectRefused(const std::string& bytes, const char* what) {
        EXPECT_FALSE(load(bytes)) << what;
        EXPECT_EQ(slot.voiceCount, 0) << what;
        for (auto* voice : slot.voices) EXPECT_EQ(voice, nullptr) << what;
    }

    SoundSlot slot;
};

TEST_F(WaveTest, SixteenBitMonoPlaysItsExactLevels) {
    ASSERT_TRUE(load(monoWav({0, 1000, -1000, 32767, -32768})));
    EXPECT_EQ(bufferBytes(), 10u);
    ASSERT_EQ(slot.play(0, 100, 0), 0);
    EXPECT_EQ(mixStereo16(6),
              (std::vector<int16_t>{0, 0, 1000, 1000, -1000, -1000, 32767, 32767, -32768, -32768, 0, 0}));
}

TEST_F(WaveTest, EightBitStereoIsCentredOn128) {
    WavSpec spec;
    spec.channels = 2;
    spec.bits = 8;
    spec.samples = samples8({128, 128, 255, 0, 192, 64});
    ASSERT_TRUE(load(makeWav(spec)));
    ASSERT_EQ(slot.play(0, 100, 0), 0);
    EXPECT_EQ(mixStereo16(3), (std::vector<int16_t>{0, 0, 32512, -32768, 16384, -16384}));
}

TEST_F(WaveTest, ASoundAtHalfTheDeviceRateIsResampled) {
    WavSpec spec;
    spec.rate = 11025;
    spec.samples = samples16({0, 2000});
    ASSERT_TRUE(load(makeWav(spec)));
    slot.play(0, 100, 0);
    EXPECT_EQ(mixStereo16(4), (std::vector<int16_t>{0, 0, 1000, 1000, 2000, 2000, 2000, 2000}));
}

TEST_F(WaveTest, OtherChunksBeforeAndBetweenAreSkipped) {
    WavSpec spec;
    spec.samples = samples16({1234, 4321});
    spec.chunkBeforeFmt = chunk("LIST", "INFOsome text") + chunk("odd ", "abc");  // odd size, no pad byte
    spec.chunkBetween = chunk("fact", std::string(4, '\0'));
    ASSERT_TRUE(load(makeWav(spec)));
    slot.play(0, 100, 0);
    EXPECT_EQ(mixStereo16(2), (std::vector<int16_t>{1234, 1234, 4321, 4321}));
}

TEST_F(WaveTest, OddSizedChunksFollowedByTheirPadByteLoad) {
    WavSpec spec;
    spec.samples = samples16({1234, 4321});
    spec.chunkBeforeFmt = chunk("LIST", "INFOodd") + std::string(1, '\0');
    spec.chunkBetween = chunk("note", "x") + std::string(1, '\0');
    ASSERT_TRUE(load(makeWav(spec)));
    slot.play(0, 100, 0);
    EXPECT_EQ(mixStereo16(2), (std::vector<int16_t>{1234, 1234, 4321, 4321}));

    // A "fmt " chunk of 17 bytes and its pad byte.
    spec.fmtExtra = 1;
    spec.chunkBetween = std::string(1, '\0') + spec.chunkBetween;
    ASSERT_TRUE(load(makeWav(spec)));
    slot.play(0, 100, 0);
    EXPECT_EQ(mixStereo16(2), (std::vector<int16_t>{1234, 1234, 4321, 4321}));
}

TEST_F(WaveTest, AnEighteenByteFormatChunkLoads) {
    WavSpec spec;
    spec.samples = samples16({77, 88});
    spec.fmtExtra = 2;
    ASSERT_TRUE(load(makeWav(spec)));
    slot.play(0, 100, 0);
    EXPECT_EQ(mixStereo16(2), (std::vector<int16_t>{77, 77, 88, 88}));
}

TEST_F(WaveTest, TheFormatTagIsNotLookedAt) {
    WavSpec spec;
    spec.formatTag = 2;
    spec.samples = samples16({5, 6});
    EXPECT_TRUE(load(makeWav(spec)));
}

TEST_F(WaveTest, ATrailingPartialFrameNeverPlays) {
    WavSpec spec;
    spec.samples = samples16({300, 400}) + "\x01";
    ASSERT_TRUE(load(makeWav(spec)));
    EXPECT_EQ(bufferBytes(), 5u);
    slot.play(0, 100, 0);
    EXPECT_EQ(mixStereo16(3), (std::vector<int16_t>{300, 300, 400, 400, 0, 0}));
    EXPECT_FALSE(slot.isPlaying(0));
}

TEST_F(WaveTest, ForwardAndBackwardSlashesOpenTheSameFile) {
    std::string path = writeFile("sound.wav", monoWav({11, 22}));
    std::string backslashed = path;
    for (char& c : backslashed) c = c == '/' ? '\\' : c;
    EXPECT_TRUE(slot.load(engineSoundDevice(), backslashed.c_str(), 1));
    EXPECT_TRUE(slot.load(engineSoundDevice(), path.c_str(), 1));
}

TEST_F(WaveTest, AMemoryBlockLoads) {
    const std::string bytes = monoWav({-5, 5});
    const uint32_t key = files::registerMemBlock(reinterpret_cast<const uint8_t*>(bytes.data()),
                                                 static_cast<uint32_t>(bytes.size()));
    char name[32];
    files::formatMemBlockName(name, static_cast<uint32_t>(bytes.size()), key);
    EXPECT_TRUE(slot.load(engineSoundDevice(), name, 2));
    files::unregisterMemBlock(key);
    EXPECT_EQ(slot.voiceCount, 2);
    slot.play(0, 100, 0);
    EXPECT_EQ(mixStereo16(2), (std::vector<int16_t>{-5, -5, 5, 5}));
}

TEST_F(WaveTest, AMemoryBlockShorterThanItsDataLoadsTheBytesThatAreThere) {
    WavSpec spec;
    spec.samples = samples16({100, 200, 300});
    spec.dataSize = 0x0FFFFFF0;  // far more than the block holds
    const std::string bytes = makeWav(spec);
    const uint32_t key = files::registerMemBlock(reinterpret_cast<const uint8_t*>(bytes.data()),
                                                 static_cast<uint32_t>(bytes.size()));
    char name[32];
    files::formatMemBlockName(name, static_cast<uint32_t>(bytes.size()), key);
    ASSERT_TRUE(slot.load(engineSoundDevice(), name, 1));
    files::unregisterMemBlock(key);
    EXPECT_EQ(bufferBytes(), 6u);  // not what the header claims
    slot.play(0, 100, 0);
    EXPECT_EQ(mixStereo16(3), (std::vector<int16_t>{100, 100, 200, 200, 300, 300}));
}

TEST_F(WaveTest, AReleasedMemoryBlockDoesNotLoad) {
    const std::string bytes = monoWav({1, 2});
    const uint32_t key = files::registerMemBlock(reinterpret_cast<const uint8_t*>(bytes.data()),
                                                 static_cast<uint32_t>(bytes.size()));
    char name[32];
    files::formatMemBlockName(name, static_cast<uint32_t>(bytes.size()), key);
    files::unregisterMemBlock(key);
    EXPECT_FALSE(slot.load(engineSoundDevice(), name, 1));
}

TEST_F(WaveTest, HeadersThatAreNotRiffWaveFail) {
    WavSpec notRiff;
    notRiff.riff = "RIFX";
    notRiff.samples = samples16({1, 2});
    expectRefused(makeWav(notRiff), "RIFX");
    WavSpec notWave;
    notWave.wave = "AVI ";
    notWave.samples = samples16({1, 2});
    expectRefused(makeWav(notWave), "AVI");
    expectRefused("", "empty file");
    expectRefused("RIFF\x04\0\0\0WAV", "eleven bytes");
    EXPECT_FALSE(slot.load(engineSoundDevice(), dir.file("missing.wav").c_str(), 1));
    EXPECT_FALSE(slot.load(engineSoundDevice(), "", 1));
    EXPECT_FALSE(slot.load(engineSoundDevice(), dir.path().c_str(), 1));  // a directory
}

TEST_F(WaveTest, HostileFormatsFailAndLeaveTheSlotFree) {
    auto spec = [] {
        WavSpec s;
        s.samples = samples16({1, 2, 3, 4});
        return s;
    };
    WavSpec zeroBits = spec();
    zeroBits.bits = 0;
    zeroBits.blockAlign = 2;
    expectRefused(makeWav(zeroBits), "0 bits per sample");
    WavSpec zeroAlign = spec();
    zeroAlign.blockAlign = 0;
    expectRefused(makeWav(zeroAlign), "0 block alignment");
    WavSpec six = spec();
    six.channels = 6;
    six.samples = std::string(48, '\0');
    expectRefused(makeWav(six), "six channels");
    WavSpec wide = spec();
    wide.bits = 32;
    expectRefused(makeWav(wide), "32 bits");
    WavSpec slow = spec();
    slow.rate = 50;
    expectRefused(makeWav(slow), "50 Hz");
    WavSpec fast = spec();
    fast.rate = 0xFFFFFFFF;
    expectRefused(makeWav(fast), "4 GHz");
    WavSpec tiny = spec();
    tiny.samples = samples16({1});
    expectRefused(makeWav(tiny), "two bytes of data");
    WavSpec none = spec();
    none.samples.clear();
    expectRefused(makeWav(none), "no data");
}

TEST_F(WaveTest, LyingSizesFailWithoutReadingOrAllocatingPastTheFile) {
    auto spec = [] {
        WavSpec s;
        s.samples = samples16({1, 2, 3, 4});
        return s;
    };
    WavSpec pastEnd = spec();
    pastEnd.dataSize = 0x0FFFFFF0;
    expectRefused(makeWav(pastEnd), "data size past the file");
    WavSpec oneMore = spec();
    oneMore.dataSize = 9;
    expectRefused(makeWav(oneMore), "one byte short");
    WavSpec hugeFmt = spec();
    hugeFmt.fmtSize = 0xFFFFFFF0;
    expectRefused(makeWav(hugeFmt), "fmt size past the file");
    WavSpec shortFmt = spec();
    shortFmt.fmtSize = 14;
    expectRefused(makeWav(shortFmt), "fmt shorter than 16");
    WavSpec hugeChunk = spec();
    hugeChunk.chunkBeforeFmt = "LIST" + std::string("\xF0\xFF\xFF\xFF", 4);
    expectRefused(makeWav(hugeChunk), "a chunk before fmt past the file");
    WavSpec hugeBetween = spec();
    hugeBetween.chunkBetween = "fact" + std::string("\xFF\xFF\xFF\x7F", 4) + "xx";
    expectRefused(makeWav(hugeBetween), "a chunk between past the file");

    const std::string whole = monoWav({1, 2, 3, 4});
    for (size_t cut : {12u, 20u, 30u, 36u, 40u, 44u}) {
        expectRefused(whole.substr(0, cut), ("cut at " + std::to_string(cut)).c_str());
    }
    WavSpec noData = spec();
    std::string withoutData = makeWav(noData).substr(0, 36);
    expectRefused(withoutData, "no data chunk");
}

TEST_F(WaveTest, RandomDamageNeverReadsOutOfBounds) {
    WavSpec spec;
    spec.channels = 2;
    spec.samples = samples16({1, 2, 3, 4, 5, 6, 7, 8});
    spec.chunkBetween = chunk("fact", "abcd");
    const std::string valid = makeWav(spec);
    std::mt19937 random(20240607);  // fixed seed
    int loaded = 0;
    for (int round = 0; round < 300; ++round) {
        std::string bytes = valid;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int f = 0; f < flips; ++f) {
            bytes[random() % bytes.size()] = static_cast<char>(random() % 256);
        }
        if (random() % 3 == 0) bytes.resize(random() % bytes.size());
        if (load(bytes)) {
            ++loaded;
            EXPECT_GE(slot.voiceCount, 1);
            slot.play(0, 100, 0);
            mixStereo16(16);
        } else {
            EXPECT_EQ(slot.voiceCount, 0);
        }
    }
    EXPECT_GT(loaded, 0);
    EXPECT_LT(loaded, 300);
}

}  // namespace
