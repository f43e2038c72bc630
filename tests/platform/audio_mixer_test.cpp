// The software mixer of the sound device stand-in, mixed by calling the mixer
// directly on the manual output (no thread): exact levels, gains, 8-bit
// centring, clamping, the end of a one-shot, loops and resampling.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/audio_device.h"
#include "platform/audio_mixer.h"
#include "platform/audio_output.h"

using namespace platform;

namespace {

int windowStandIn;

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setAudioOutputMaker(&makeManualAudioOutput);
        ASSERT_EQ(createAudioDevice(&device), AudioResult::Ok);
        ASSERT_EQ(device->setCooperativeLevel(&windowStandIn, CooperativeLevel::Priority), AudioResult::Ok);
        setMixFormat(22050, 2, 16);
    }
    void TearDown() override {
        for (AudioBuffer* b : buffers) b->release();
        device->release();
        setAudioOutputMaker(nullptr);
    }

    void setMixFormat(uint32_t rate, uint16_t channels, uint16_t bits) {
        AudioBufferDesc desc{kBufferDescVersion, kBufferPrimary, 0, nullptr};
        AudioBuffer* primary = nullptr;
        ASSERT_EQ(device->createSoundBuffer(&desc, &primary), AudioResult::Ok);
        const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
        AudioWaveFormat format{kWaveFormatPcm, channels, rate, rate * align, align, bits, 0};
        ASSERT_EQ(primary->setFormat(&format), AudioResult::Ok);
        primary->release();
    }

    // A static buffer with volume and pan control holding the bytes.
    AudioBuffer* makeBuffer(uint16_t channels, uint16_t bits, uint32_t rate, const void* bytes, uint32_t size) {
        const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
        AudioWaveFormat format{kWaveFormatPcm, channels, rate, rate * align, align, bits, 0};
        AudioBufferDesc desc{kBufferDescVersion, kBufferStatic | kBufferCtrlVolume | kBufferCtrlPan, size, &format};
        AudioBuffer* buffer = nullptr;
        EXPECT_EQ(device->createSoundBuffer(&desc, &buffer), AudioResult::Ok);
        if (buffer == nullptr) return nullptr;
        void* part = nullptr;
        uint32_t got = 0;
        EXPECT_EQ(buffer->lock(0, size, &part, &got, nullptr, nullptr, 0), AudioResult::Ok);
        std::memcpy(part, bytes, got);
        EXPECT_EQ(buffer->unlock(part, got, nullptr, 0), AudioResult::Ok);
        buffers.push_back(buffer);
        return buffer;
    }
    AudioBuffer* mono16(const std::vector<int16_t>& samples, uint32_t rate = 22050) {
        return makeBuffer(1, 16, rate, samples.data(), static_cast<uint32_t>(samples.size() * 2));
    }

    std::vector<int16_t> mix(uint32_t frames) {
        std::vector<int16_t> out(frames * device->mixer().outputFormat().channels);
        device->mixer().mix(out.data(), frames);
        return out;
    }

    AudioDevice* device = nullptr;
    std::vector<AudioBuffer*> buffers;
};

uint32_t statusOf(AudioBuffer* buffer) {
    uint32_t status = 0;
    EXPECT_EQ(buffer->getStatus(&status), AudioResult::Ok);
    return status;
}

TEST_F(MixerTest, NothingPlayingMixesSilence) {
    EXPECT_EQ(mix(4), std::vector<int16_t>(8, 0));
    setMixFormat(22050, 1, 8);
    std::vector<uint8_t> out(5, 7);
    device->mixer().mix(out.data(), 5);
    EXPECT_EQ(out, std::vector<uint8_t>(5, 128));
}

TEST_F(MixerTest, SixteenBitMonoAtItsOwnRateArrivesUnchangedOnBothChannels) {
    AudioBuffer* b = mono16({100, -200, 32767, -32768});
    ASSERT_EQ(b->play(0, 0, 0), AudioResult::Ok);
    EXPECT_EQ(mix(6), (std::vector<int16_t>{100, 100, -200, -200, 32767, 32767, -32768, -32768, 0, 0, 0, 0}));
}

TEST_F(MixerTest, StereoKeepsItsChannelsAndMonoOutputAveragesThem) {
    std::vector<int16_t> frames{1000, -1000, 400, 800};
    AudioBuffer* b = makeBuffer(2, 16, 22050, frames.data(), 8);
    b->play(0, 0, kPlayLooping);
    EXPECT_EQ(mix(2), (std::vector<int16_t>{1000, -1000, 400, 800}));
    setMixFormat(22050, 1, 16);
    b->setCurrentPosition(0);
    EXPECT_EQ(mix(2), (std::vector<int16_t>{0, 600}));
}

TEST_F(MixerTest, VolumeInHundredthsOfADecibel) {
    AudioBuffer* b = mono16({10000, 10000, 10000, 10000, 10000, 10000});
    b->play(0, 0, kPlayLooping);
    b->setVolume(-602);  // 10^(-602/2000) = 0.50003
    EXPECT_EQ(mix(1), (std::vector<int16_t>{5000, 5000}));
    b->setVolume(-2000);  // 0.1
    EXPECT_EQ(mix(1), (std::vector<int16_t>{1000, 1000}));
    b->setVolume(-4000);  // 0.01
    EXPECT_EQ(mix(1), (std::vector<int16_t>{100, 100}));
    b->setVolume(-10000);  // silent
    EXPECT_EQ(mix(1), (std::vector<int16_t>{0, 0}));
    b->setVolume(0);
    EXPECT_EQ(mix(1), (std::vector<int16_t>{10000, 10000}));
}

TEST_F(MixerTest, PanLowersOnlyTheOppositeChannel) {
    AudioBuffer* b = mono16({10000, 10000});
    b->play(0, 0, kPlayLooping);
    b->setPan(10000);
    EXPECT_EQ(mix(1), (std::vector<int16_t>{0, 10000}));
    b->setPan(-10000);
    EXPECT_EQ(mix(1), (std::vector<int16_t>{10000, 0}));
    b->setPan(602);
    EXPECT_EQ(mix(1), (std::vector<int16_t>{5000, 10000}));
    b->setPan(-2000);
    b->setVolume(-602);
    EXPECT_EQ(mix(1), (std::vector<int16_t>{5000, 500}));
}

TEST_F(MixerTest, EightBitSamplesAreCentredOn128) {
    std::vector<uint8_t> samples{128, 255, 0, 129};
    AudioBuffer* b = makeBuffer(1, 8, 22050, samples.data(), 4);
    b->play(0, 0, 0);
    EXPECT_EQ(mix(4), (std::vector<int16_t>{0, 0, 32512, 32512, -32768, -32768, 256, 256}));
}

TEST_F(MixerTest, EightBitOutput) {
    setMixFormat(11025, 2, 8);
    AudioBuffer* b = mono16({256, -256, 32767, -32768}, 11025);
    b->play(0, 0, 0);
    std::vector<uint8_t> out(8);
    device->mixer().mix(out.data(), 4);
    EXPECT_EQ(out, (std::vector<uint8_t>{129, 129, 127, 127, 255, 255, 0, 0}));
}

TEST_F(MixerTest, OverlappingVoicesAreSummedAndClamped) {
    AudioBuffer* a = mono16({30000, -30000, 1000});
    AudioBuffer* b = mono16({30000, -30000, 2000});
    a->play(0, 0, 0);
    b->play(0, 0, 0);
    EXPECT_EQ(mix(3), (std::vector<int16_t>{32767, 32767, -32768, -32768, 3000, 3000}));
}

TEST_F(MixerTest, AOneShotStopsAndRewindsAfterItsLastFrame) {
    AudioBuffer* b = mono16({1, 2, 3, 4});
    b->play(0, 0, 0);
    mix(2);
    uint32_t play = 99, write = 99;
    b->getCurrentPosition(&play, &write);
    EXPECT_EQ(play, 4u);  // bytes: two 16-bit frames
    EXPECT_EQ(write, 4u);
    EXPECT_EQ(statusOf(b), kStatusPlaying);
    mix(2);  // the last frame goes out in this call
    EXPECT_EQ(statusOf(b), 0u);
    b->getCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(device->mixer().playingVoices(), 0u);
    // Played again it starts from sample 0.
    b->play(0, 0, 0);
    EXPECT_EQ(mix(2), (std::vector<int16_t>{1, 1, 2, 2}));
}

TEST_F(MixerTest, StopKeepsThePositionAndPlayGoesOnFromIt) {
    AudioBuffer* b = mono16({1, 2, 3, 4, 5});
    b->play(0, 0, 0);
    mix(2);
    EXPECT_EQ(b->stop(), AudioResult::Ok);
    EXPECT_EQ(mix(1), (std::vector<int16_t>{0, 0}));
    b->play(0, 0, 0);
    EXPECT_EQ(mix(2), (std::vector<int16_t>{3, 3, 4, 4}));
}

TEST_F(MixerTest, ALoopWrapsToFrameZero) {
    AudioBuffer* b = mono16({7, 8, 9});
    b->play(0, 0, kPlayLooping);
    EXPECT_EQ(statusOf(b), kStatusPlaying | kStatusLooping);
    EXPECT_EQ(mix(7), (std::vector<int16_t>{7, 7, 8, 8, 9, 9, 7, 7, 8, 8, 9, 9, 7, 7}));
    EXPECT_EQ(statusOf(b), kStatusPlaying | kStatusLooping);
}

TEST_F(MixerTest, HalfTheRateIsInterpolatedLinearly) {
    AudioBuffer* b = mono16({0, 1000, 3000}, 11025);
    b->play(0, 0, 0);
    // The last frame holds at the end of a one-shot rather than fading to a
    // frame that does not exist.
    EXPECT_EQ(mix(7), (std::vector<int16_t>{0, 0, 500, 500, 1000, 1000, 2000, 2000, 3000, 3000, 3000, 3000, 0, 0}));
    EXPECT_EQ(statusOf(b), 0u);
}

TEST_F(MixerTest, DoubleTheRateSkipsEveryOtherFrame) {
    AudioBuffer* b = mono16({10, 20, 30, 40, 50, 60}, 44100);
    b->play(0, 0, 0);
    EXPECT_EQ(mix(4), (std::vector<int16_t>{10, 10, 30, 30, 50, 50, 0, 0}));
}

TEST_F(MixerTest, MixBytesFillsAStreamOfAnySizeExactly) {
    AudioBuffer* b = mono16({5, 6});
    b->play(0, 0, 0);
    std::vector<uint8_t> out(11, 0x7F);
    device->mixer().mixBytes(out.data(), 10);  // two frames of 4 bytes, then 2 bytes of silence
    std::vector<int16_t> samples(5);
    std::memcpy(samples.data(), out.data(), 10);
    EXPECT_EQ(samples, (std::vector<int16_t>{5, 5, 6, 6, 0}));
    EXPECT_EQ(out[10], 0x7F);  // nothing past the stream
    setMixFormat(22050, 2, 8);
    std::vector<uint8_t> eight(3, 0);
    device->mixer().mixBytes(eight.data(), 3);
    EXPECT_EQ(eight, (std::vector<uint8_t>{128, 128, 128}));
}

TEST_F(MixerTest, MixingLongerThanOneChunkKeepsTheSamplesInOrder) {
    std::vector<int16_t> ramp(1000);
    for (int i = 0; i < 1000; ++i) ramp[i] = static_cast<int16_t>(i * 7 - 3000);
    AudioBuffer* b = mono16(ramp);
    b->play(0, 0, 0);
    std::vector<int16_t> out = mix(1000);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(out[2 * i], ramp[i]) << "frame " << i;
        ASSERT_EQ(out[2 * i + 1], ramp[i]) << "frame " << i;
    }
}

TEST_F(MixerTest, DuplicatesShareSamplesButNotPositionOrVolume) {
    AudioBuffer* original = mono16({100, 200, 300, 400});
    AudioBuffer* copy = nullptr;
    ASSERT_EQ(device->duplicateSoundBuffer(original, &copy), AudioResult::Ok);
    buffers.push_back(copy);
    // Written through the original after the copy was made: the copy sees it.
    void* part = nullptr;
    uint32_t bytes = 0;
    ASSERT_EQ(original->lock(0, 2, &part, &bytes, nullptr, nullptr, 0), AudioResult::Ok);
    const int16_t first = 1000;
    std::memcpy(part, &first, 2);
    original->unlock(part, bytes, nullptr, 0);

    original->setCurrentPosition(4);  // frame 2
    copy->setVolume(-602);
    original->play(0, 0, 0);
    copy->play(0, 0, 0);
    EXPECT_EQ(mix(2), (std::vector<int16_t>{800, 800, 500, 500}));  // 300 + 500, 400 + 100
    EXPECT_EQ(statusOf(original), 0u);
    EXPECT_EQ(statusOf(copy), kStatusPlaying);
}

TEST_F(MixerTest, ReleasingAPlayingBufferTakesItOutOfTheMix) {
    AudioBuffer* b = mono16({500, 500, 500, 500});
    b->play(0, 0, kPlayLooping);
    buffers.clear();
    b->release();
    EXPECT_EQ(device->mixer().playingVoices(), 0u);
    EXPECT_EQ(mix(2), std::vector<int16_t>(4, 0));
}

}  // namespace
