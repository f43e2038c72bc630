// The sound device stand-in: what it refuses, the controls, lock and unlock,
// the primary format, the capabilities, losing and restoring buffers, and a
// machine without audio.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/audio_device.h"
#include "platform/audio_mixer.h"
#include "platform/audio_output.h"

using namespace platform;

namespace {

int windowStandIn;

AudioWaveFormat pcm(uint16_t channels, uint16_t bits, uint32_t rate) {
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    return {kWaveFormatPcm, channels, rate, rate * align, align, bits, 0};
}

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        setAudioOutputMaker(&makeManualAudioOutput);
        ASSERT_EQ(createAudioDevice(&device), AudioResult::Ok);
        output = lastManualAudioOutput();
        ASSERT_NE(output, nullptr);
    }
    void TearDown() override {
        if (device != nullptr) device->release();
        setAudioOutputMaker(nullptr);
    }

    AudioResult create(const AudioWaveFormat& format, uint32_t bytes, uint32_t flags, AudioBuffer** out) {
        AudioBufferDesc desc{kBufferDescVersion, flags, bytes, &format};
        return device->createSoundBuffer(&desc, out);
    }
    AudioBuffer* make(uint32_t bytes = 16, uint32_t flags = kBufferStatic | kBufferCtrlVolume | kBufferCtrlPan) {
        AudioBuffer* buffer = nullptr;
        EXPECT_EQ(create(pcm(1, 16, 22050), bytes, flags, &buffer), AudioResult::Ok);
        return buffer;
    }

    AudioDevice* device = nullptr;
    ManualAudioOutput* output = nullptr;
};

TEST_F(DeviceTest, TheOutputOpensInTheDefaultMixFormat) {
    EXPECT_TRUE(output->isOpen());
    EXPECT_EQ(output->format().rate, 22050u);
    EXPECT_EQ(output->format().channels, 2);
    EXPECT_EQ(output->format().bits, 8);
}

TEST_F(DeviceTest, FormatsTheDeviceCannotPlayAreRefused) {
    struct Case {
        const char* what;
        AudioWaveFormat format;
    };
    AudioWaveFormat wrongAlign = pcm(2, 16, 22050);
    wrongAlign.blockAlign = 12;  // six channels' worth given to a stereo buffer
    wrongAlign.averageBytesPerSecond = 22050 * 12;
    AudioWaveFormat zeroAlign = pcm(1, 16, 22050);
    zeroAlign.blockAlign = 0;
    zeroAlign.averageBytesPerSecond = 0;
    AudioWaveFormat wrongRate = pcm(1, 16, 22050);
    wrongRate.averageBytesPerSecond = 1;
    AudioWaveFormat notPcm = pcm(1, 16, 22050);
    notPcm.formatTag = 3;
    const Case cases[] = {
        {"three channels", pcm(3, 16, 22050)},  {"no channels", pcm(0, 16, 22050)},
        {"24 bits", pcm(1, 24, 22050)},         {"0 bits", {kWaveFormatPcm, 1, 22050, 0, 0, 0, 0}},
        {"block alignment", wrongAlign},        {"0 block alignment", zeroAlign},
        {"bytes per second", wrongRate},        {"not PCM", notPcm},
        {"rate 99", pcm(1, 8, 99)},             {"rate 200,001", pcm(1, 8, 200001)},
    };
    for (const Case& c : cases) {
        AudioBuffer* buffer = reinterpret_cast<AudioBuffer*>(1);
        EXPECT_EQ(create(c.format, 64, kBufferStatic, &buffer), AudioResult::InvalidParam) << c.what;
        EXPECT_EQ(buffer, nullptr) << c.what;
    }
    AudioBuffer* edge = nullptr;
    EXPECT_EQ(create(pcm(1, 8, 100), 64, kBufferStatic, &edge), AudioResult::Ok);
    edge->release();
    EXPECT_EQ(create(pcm(2, 16, 200000), 64, kBufferStatic, &edge), AudioResult::Ok);
    edge->release();
}

TEST_F(DeviceTest, SizesAndRecordVersionsItDoesNotKnowAreRefused) {
    AudioBuffer* buffer = nullptr;
    EXPECT_EQ(create(pcm(1, 8, 22050), 3, 0, &buffer), AudioResult::InvalidParam);
    EXPECT_EQ(create(pcm(1, 8, 22050), 0, 0, &buffer), AudioResult::InvalidParam);
    EXPECT_EQ(create(pcm(1, 8, 22050), kBufferMaxBytes + 1, 0, &buffer), AudioResult::InvalidParam);
    AudioWaveFormat format = pcm(1, 8, 22050);
    AudioBufferDesc oldVersion{20, 0, 64, &format};
    EXPECT_EQ(device->createSoundBuffer(&oldVersion, &buffer), AudioResult::InvalidParam);
    AudioBufferDesc noFormat{kBufferDescVersion, 0, 64, nullptr};
    EXPECT_EQ(device->createSoundBuffer(&noFormat, &buffer), AudioResult::InvalidParam);
    AudioBufferDesc primaryWithBytes{kBufferDescVersion, kBufferPrimary, 64, nullptr};
    EXPECT_EQ(device->createSoundBuffer(&primaryWithBytes, &buffer), AudioResult::InvalidParam);
    EXPECT_EQ(device->createSoundBuffer(nullptr, &buffer), AudioResult::InvalidParam);
    EXPECT_EQ(device->createSoundBuffer(&noFormat, nullptr), AudioResult::InvalidParam);
    EXPECT_EQ(buffer, nullptr);
}

TEST_F(DeviceTest, AFreshBufferHoldsSilenceOfItsWidth) {
    AudioBuffer* eight = nullptr;
    ASSERT_EQ(create(pcm(1, 8, 22050), 4, kBufferStatic, &eight), AudioResult::Ok);
    void* part = nullptr;
    uint32_t bytes = 0;
    ASSERT_EQ(eight->lock(0, 4, &part, &bytes, nullptr, nullptr, 0), AudioResult::Ok);
    EXPECT_EQ(std::memcmp(part, "\x80\x80\x80\x80", 4), 0);
    eight->unlock(part, bytes, nullptr, 0);
    eight->release();
}

TEST_F(DeviceTest, VolumeAndPanNeedTheirControlAndStayInRange) {
    AudioBuffer* plain = make(16, kBufferStatic);
    EXPECT_EQ(plain->setVolume(-100), AudioResult::ControlUnavailable);
    EXPECT_EQ(plain->setPan(100), AudioResult::ControlUnavailable);
    int32_t value = 0;
    EXPECT_EQ(plain->getVolume(&value), AudioResult::ControlUnavailable);
    plain->release();

    AudioBuffer* b = make();
    EXPECT_EQ(b->setVolume(1), AudioResult::InvalidParam);
    EXPECT_EQ(b->setVolume(-10001), AudioResult::InvalidParam);
    EXPECT_EQ(b->setVolume(-10000), AudioResult::Ok);
    EXPECT_EQ(b->getVolume(&value), AudioResult::Ok);
    EXPECT_EQ(value, -10000);
    EXPECT_EQ(b->setPan(10001), AudioResult::InvalidParam);
    EXPECT_EQ(b->setPan(-10001), AudioResult::InvalidParam);
    EXPECT_EQ(b->setPan(-2500), AudioResult::Ok);
    EXPECT_EQ(b->getPan(&value), AudioResult::Ok);
    EXPECT_EQ(value, -2500);
    EXPECT_EQ(b->getPan(nullptr), AudioResult::InvalidParam);
    b->release();
}

TEST_F(DeviceTest, PlayNeedsItsReservedArgumentsZero) {
    AudioBuffer* b = make();
    EXPECT_EQ(b->play(1, 0, 0), AudioResult::InvalidParam);
    EXPECT_EQ(b->play(0, 1, 0), AudioResult::InvalidParam);
    EXPECT_EQ(b->play(0, 0, 0), AudioResult::Ok);
    uint32_t status = 0;
    b->getStatus(&status);
    EXPECT_EQ(status, kStatusPlaying);
    EXPECT_EQ(b->play(0, 0, kPlayLooping), AudioResult::Ok);  // only the looping changes
    b->getStatus(&status);
    EXPECT_EQ(status, kStatusPlaying | kStatusLooping);
    EXPECT_EQ(device->mixer().playingVoices(), 1u);
    EXPECT_EQ(b->getStatus(nullptr), AudioResult::InvalidParam);
    b->release();
}

TEST_F(DeviceTest, PositionsOutsideTheBufferAreRefused) {
    AudioBuffer* b = make(16);
    EXPECT_EQ(b->setCurrentPosition(16), AudioResult::InvalidParam);
    EXPECT_EQ(b->setCurrentPosition(15), AudioResult::Ok);  // rounded down to its frame
    uint32_t play = 0;
    b->getCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 14u);
    b->release();
}

TEST_F(DeviceTest, ALockThatWrapsGivesTwoParts) {
    AudioBuffer* b = make(16);
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    ASSERT_EQ(b->lock(12, 8, &p1, &n1, &p2, &n2, 0), AudioResult::Ok);
    EXPECT_EQ(n1, 4u);
    EXPECT_EQ(n2, 4u);
    EXPECT_EQ(static_cast<uint8_t*>(p1) - static_cast<uint8_t*>(p2), 12);
    // One region at a time.
    void* q = nullptr;
    uint32_t m = 0;
    EXPECT_EQ(b->lock(0, 4, &q, &m, nullptr, nullptr, 0), AudioResult::InvalidCall);
    EXPECT_EQ(b->unlock(p2, n1, p2, n2), AudioResult::InvalidParam);  // not the locked start
    EXPECT_EQ(b->unlock(p1, n1 + 1, p2, n2), AudioResult::InvalidParam);
    EXPECT_EQ(b->unlock(p1, n1, p2, n2), AudioResult::Ok);
    EXPECT_EQ(b->unlock(p1, n1, p2, n2), AudioResult::InvalidCall);  // nothing locked
    b->release();
}

TEST_F(DeviceTest, LockFlagsAndBadRegions) {
    AudioBuffer* b = make(16);
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    EXPECT_EQ(b->lock(0, 0, &p1, &n1, &p2, &n2, 0), AudioResult::InvalidParam);
    EXPECT_EQ(b->lock(0, 17, &p1, &n1, &p2, &n2, 0), AudioResult::InvalidParam);
    EXPECT_EQ(b->lock(16, 1, &p1, &n1, &p2, &n2, 0), AudioResult::InvalidParam);
    EXPECT_EQ(b->lock(0, 1, nullptr, &n1, nullptr, nullptr, 0), AudioResult::InvalidParam);
    EXPECT_EQ(b->lock(0, 1, &p1, &n1, &p2, nullptr, 0), AudioResult::InvalidParam);

    ASSERT_EQ(b->lock(5, 0, &p1, &n1, &p2, &n2, kLockEntireBuffer), AudioResult::Ok);
    EXPECT_EQ(n1, 11u);  // from offset 5 to the end, then the start
    EXPECT_EQ(n2, 5u);
    b->unlock(p1, n1, p2, n2);

    b->setCurrentPosition(6);
    void* start = nullptr;
    ASSERT_EQ(b->lock(0, 16, &start, &n1, nullptr, nullptr, kLockEntireBuffer), AudioResult::Ok);
    b->unlock(start, n1, nullptr, 0);
    ASSERT_EQ(b->lock(0, 4, &p1, &n1, &p2, &n2, kLockFromWriteCursor), AudioResult::Ok);
    EXPECT_EQ(static_cast<uint8_t*>(p1) - static_cast<uint8_t*>(start), 6);
    EXPECT_EQ(n1, 4u);
    EXPECT_EQ(n2, 0u);
    EXPECT_EQ(p2, nullptr);
    b->unlock(p1, n1, nullptr, 0);
    b->release();
}

TEST_F(DeviceTest, ThePrimaryFormatNeedsThePriorityLevel) {
    AudioBufferDesc desc{kBufferDescVersion, kBufferPrimary, 0, nullptr};
    AudioBuffer* primary = nullptr;
    ASSERT_EQ(device->createSoundBuffer(&desc, &primary), AudioResult::Ok);
    EXPECT_TRUE(primary->isPrimary());
    const AudioWaveFormat cd = pcm(2, 16, 44100);
    EXPECT_EQ(primary->setFormat(&cd), AudioResult::PriorityNeeded);
    EXPECT_EQ(device->setCooperativeLevel(nullptr, CooperativeLevel::Priority), AudioResult::InvalidParam);
    EXPECT_EQ(device->setCooperativeLevel(&windowStandIn, static_cast<CooperativeLevel>(9)),
              AudioResult::InvalidParam);
    ASSERT_EQ(device->setCooperativeLevel(&windowStandIn, CooperativeLevel::Priority), AudioResult::Ok);
    EXPECT_EQ(primary->setFormat(&cd), AudioResult::Ok);
    EXPECT_EQ(output->format().rate, 44100u);
    EXPECT_EQ(output->format().bits, 16);
    EXPECT_EQ(device->mixer().outputFormat().rate, 44100u);
    AudioWaveFormat got{};
    EXPECT_EQ(primary->getFormat(&got), AudioResult::Ok);
    EXPECT_EQ(std::memcmp(&got, &cd, sizeof got), 0);
    const AudioWaveFormat bad = pcm(6, 16, 44100);
    EXPECT_EQ(primary->setFormat(&bad), AudioResult::InvalidParam);
    EXPECT_EQ(primary->setFormat(nullptr), AudioResult::InvalidParam);
    // What only secondary buffers do.
    EXPECT_EQ(primary->play(0, 0, kPlayLooping), AudioResult::InvalidCall);
    AudioBuffer* copy = nullptr;
    EXPECT_EQ(device->duplicateSoundBuffer(primary, &copy), AudioResult::InvalidCall);
    primary->release();

    AudioBuffer* b = make();
    EXPECT_EQ(b->setFormat(&cd), AudioResult::InvalidCall);
    EXPECT_EQ(b->getFormat(&got), AudioResult::Ok);
    EXPECT_EQ(got.samplesPerSecond, 22050u);
    EXPECT_EQ(got.blockAlign, 2);
    b->release();
}

TEST_F(DeviceTest, CapabilitiesNeedTheRecordVersion) {
    AudioDeviceCaps caps{};
    EXPECT_EQ(device->getCaps(&caps), AudioResult::InvalidParam);
    EXPECT_EQ(device->getCaps(nullptr), AudioResult::InvalidParam);
    caps.version = kDeviceCapsVersion;
    ASSERT_EQ(device->getCaps(&caps), AudioResult::Ok);
    EXPECT_EQ(caps.version, 96u);
    EXPECT_EQ(caps.minSecondarySampleRate, 100u);
    EXPECT_EQ(caps.maxSecondarySampleRate, 200000u);
    EXPECT_TRUE(caps.flags & kCapsSecondary16Bit);
    EXPECT_TRUE(caps.flags & kCapsPrimaryStereo);
}

TEST_F(DeviceTest, AnUnpluggedOutputLosesTheBuffersUntilTheyAreRestored) {
    AudioBuffer* b = make();
    AudioBuffer* other = make();
    b->play(0, 0, kPlayLooping);
    output->setLost(true);
    uint32_t status = 0;
    b->getStatus(&status);
    EXPECT_EQ(status, kStatusBufferLost);
    EXPECT_EQ(device->mixer().playingVoices(), 0u);
    EXPECT_EQ(b->play(0, 0, 0), AudioResult::BufferLost);
    void* p = nullptr;
    uint32_t n = 0;
    EXPECT_EQ(b->lock(0, 2, &p, &n, nullptr, nullptr, 0), AudioResult::BufferLost);
    const int opensBefore = output->openCount();
    EXPECT_EQ(b->restore(), AudioResult::Ok);
    EXPECT_EQ(output->openCount(), opensBefore + 1);  // opened again
    EXPECT_EQ(b->play(0, 0, 0), AudioResult::Ok);
    // The other buffer stays lost until it is restored too, without another open.
    other->getStatus(&status);
    EXPECT_EQ(status, kStatusBufferLost);
    EXPECT_EQ(other->restore(), AudioResult::Ok);
    EXPECT_EQ(output->openCount(), opensBefore + 1);
    other->getStatus(&status);
    EXPECT_EQ(status, 0u);
    b->release();
    other->release();
}

TEST_F(DeviceTest, ARestoreFailsWhileTheOutputCannotOpen) {
    AudioBuffer* b = make();
    device->markOutputLost();
    output->setFailOpens(true);
    EXPECT_EQ(b->restore(), AudioResult::BufferLost);
    output->setFailOpens(false);
    EXPECT_EQ(b->restore(), AudioResult::Ok);
    b->release();
}

TEST_F(DeviceTest, BuffersOutlivingTheDeviceAreSilentAndLost) {
    AudioBuffer* b = make();
    b->play(0, 0, kPlayLooping);
    device->release();
    device = nullptr;
    EXPECT_FALSE(output->isOpen());
    uint32_t status = 0;
    EXPECT_EQ(b->getStatus(&status), AudioResult::Ok);
    EXPECT_EQ(status, kStatusBufferLost);
    EXPECT_EQ(b->restore(), AudioResult::BufferLost);
    EXPECT_EQ(b->play(0, 0, 0), AudioResult::BufferLost);
    b->release();  // the last reference: everything is freed (the leak check sees it)
}

TEST(AudioDeviceWithoutOutput, CreationReportsNoDriver) {
    setAudioOutputMaker(&makeFailingAudioOutput);
    AudioDevice* device = reinterpret_cast<AudioDevice*>(1);
    EXPECT_EQ(createAudioDevice(&device), AudioResult::NoDriver);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(createAudioDevice(nullptr), AudioResult::InvalidParam);
    setAudioOutputMaker(nullptr);
    EXPECT_EQ(audioOutputMaker(), &makeSdlAudioOutput);
    EXPECT_STREQ(audioResultText(AudioResult::NoDriver), "no audio driver");
}

}  // namespace
