// SoundSlot: voices, voice picking and its return values, volume and pan,
// stop and status, lost voices, and a machine without a device.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/audio_mixer.h"
#include "platform/audio_output.h"
#include "runtime/files/mem_blocks.h"
#include "runtime/files/read_stream.h"
#include "sound/sound_device.h"
#include "sound/sound_slot.h"
#include "sound/sound_system.h"
#include "sound_test_support.h"

using namespace soundtest;
using platform::AudioResult;

namespace {

class SlotTest : public SoundTest {
protected:
    // A slot loaded with samples 1000, 2000, ... (n of them).
    void loadRamp(SoundSlot& slot, int n, int voices) {
        std::vector<int16_t> ramp;
        for (int i = 1; i <= n; ++i) ramp.push_back(static_cast<int16_t>(i * 1000));
        ASSERT_TRUE(slot.load(engineSoundDevice(), writeFile("ramp.wav", monoWav(ramp)).c_str(), voices));
    }
    int32_t volumeOf(platform::AudioBuffer* voice) {
        int32_t value = 1;
        EXPECT_EQ(voice->getVolume(&value), AudioResult::Ok);
        return value;
    }
    int32_t panOf(platform::AudioBuffer* voice) {
        int32_t value = 1;
        EXPECT_EQ(voice->getPan(&value), AudioResult::Ok);
        return value;
    }
};

TEST(SoundVolume, PercentToHundredthsOfADecibel) {
    EXPECT_EQ(volumePercentToHundredthsDb(100), 0);
    EXPECT_EQ(volumePercentToHundredthsDb(50), -602);
    EXPECT_EQ(volumePercentToHundredthsDb(10), -2000);
    EXPECT_EQ(volumePercentToHundredthsDb(1), -4000);
    EXPECT_EQ(volumePercentToHundredthsDb(20), -1397);
    EXPECT_EQ(volumePercentToHundredthsDb(0), -10000);
    EXPECT_EQ(volumePercentToHundredthsDb(-5), -10000);
    EXPECT_EQ(volumePercentToHundredthsDb(250), 0);
}

TEST_F(SlotTest, VoiceCountsAreClampedIntoOneToFour) {
    SoundSlot slot;
    loadRamp(slot, 4, 0);
    EXPECT_EQ(slot.voiceCount, 1);
    loadRamp(slot, 4, -5);
    EXPECT_EQ(slot.voiceCount, 1);
    EXPECT_EQ(slot.voices[1], nullptr);
    loadRamp(slot, 4, 9);
    EXPECT_EQ(slot.voiceCount, 4);
    for (auto* voice : slot.voices) EXPECT_NE(voice, nullptr);
    EXPECT_EQ(slot.fileName, nullptr);  // meaningful only while the load runs
    EXPECT_EQ(slot.device, engineSoundDevice());
}

TEST_F(SlotTest, AOneVoiceSoundIsNotRestartedWhilePlaying) {
    SoundSlot slot;
    loadRamp(slot, 6, 1);
    EXPECT_EQ(slot.play(0, 100, 0), 0);
    EXPECT_EQ(mixStereo16(2), (std::vector<int16_t>{1000, 1000, 2000, 2000}));
    EXPECT_EQ(slot.play(0, 100, 0), -1);
    EXPECT_TRUE(slot.isPlaying(0));
    EXPECT_EQ(mixStereo16(1), (std::vector<int16_t>{3000, 3000}));  // the first play goes on
}

TEST_F(SlotTest, TwoVoicesPlayedThreeTimesRestartVoiceZeroFromItsStart) {
    SoundSlot slot;
    loadRamp(slot, 8, 2);
    EXPECT_EQ(slot.play(0, 100, 0), 0);
    mixStereo16(3);  // voice 0 at frame 3
    EXPECT_EQ(slot.play(0, 100, 0), 1);
    mixStereo16(2);  // voice 0 at frame 5, voice 1 at frame 2
    EXPECT_EQ(slot.play(0, 100, 0), 0);
    // Voice 0 from sample 0 (1000) with voice 1 at its frame 2 (3000).
    EXPECT_EQ(mixStereo16(1), (std::vector<int16_t>{4000, 4000}));
    EXPECT_EQ(slot.currentVoice, 0);
}

TEST_F(SlotTest, AVoiceThatFinishedIsUsedAgain) {
    SoundSlot slot;
    loadRamp(slot, 2, 3);
    EXPECT_EQ(slot.play(0, 100, 0), 0);
    mixStereo16(4);
    EXPECT_FALSE(slot.isPlaying(0));
    EXPECT_EQ(slot.play(0, 100, 0), 0);
    EXPECT_EQ(slot.play(0, 100, 0), 1);
    EXPECT_EQ(slot.play(0, 100, 0), 2);
    EXPECT_EQ(slot.play(0, 100, 0), 0);  // all busy: the oldest-started in turn
}

TEST_F(SlotTest, AVoiceStoppedOnItsOwnIsTakenBeforeABusyOneIsCutOff) {
    SoundSlot slot;
    loadRamp(slot, 8, 3);
    for (int32_t voice = 0; voice < 3; ++voice) ASSERT_EQ(slot.play(0, 100, 0), voice);
    mixStereo16(2);
    ASSERT_TRUE(slot.stop(1));
    EXPECT_EQ(slot.play(0, 100, 0), 1);
    EXPECT_TRUE(slot.isPlaying(0));  // not cut off while voice 1 was free
    // Now all busy: the oldest started is cut off each time, not the next in turn.
    EXPECT_EQ(slot.play(0, 100, 0), 0);
    EXPECT_EQ(slot.play(0, 100, 0), 2);
    EXPECT_EQ(slot.play(0, 100, 0), 1);
}

TEST_F(SlotTest, PlaySetsTheVolumeAndPanOfTheVoice) {
    SoundSlot slot;
    loadRamp(slot, 4, 2);
    ASSERT_EQ(slot.play(-10000, 50, 0), 0);
    EXPECT_EQ(volumeOf(slot.voices[0]), -602);
    EXPECT_EQ(panOf(slot.voices[0]), -10000);
    EXPECT_EQ(mixStereo16(1), (std::vector<int16_t>{500, 0}));
    ASSERT_EQ(slot.play(2500, 0, 0), 1);
    EXPECT_EQ(volumeOf(slot.voices[1]), -10000);
    EXPECT_EQ(panOf(slot.voices[1]), 2500);
    slot.setVolume(10);
    EXPECT_EQ(volumeOf(slot.voices[0]), -2000);
    EXPECT_EQ(volumeOf(slot.voices[1]), -2000);
}

TEST_F(SlotTest, StopWithAVoiceOutsideTheSlotStopsEveryVoice) {
    SoundSlot slot;
    loadRamp(slot, 8, 3);
    slot.play(0, 100, 0);
    slot.play(0, 100, 0);
    slot.play(0, 100, 0);
    mixStereo16(2);
    EXPECT_TRUE(slot.stop(1));
    EXPECT_TRUE(slot.isPlaying(0));
    EXPECT_FALSE(slot.isPlaying(1));
    EXPECT_TRUE(slot.isPlaying(2));
    EXPECT_TRUE(slot.stop(-1));
    for (int v = 0; v < 3; ++v) EXPECT_FALSE(slot.isPlaying(v));
    uint32_t position = 1;
    slot.voices[2]->getCurrentPosition(&position, nullptr);
    EXPECT_EQ(position, 0u);  // rewound
    EXPECT_TRUE(slot.stop(7));
    EXPECT_FALSE(slot.isPlaying(3));
    EXPECT_FALSE(slot.isPlaying(-1));
}

TEST_F(SlotTest, ALostVoiceIsRestoredByTheNextPlay) {
    SoundSlot slot;
    loadRamp(slot, 4, 1);
    ASSERT_EQ(slot.play(0, 100, 0), 0);
    mixStereo16(2);
    engineSoundDevice()->device->markOutputLost();  // cuts the play off at frame 2
    EXPECT_EQ(slot.play(0, 100, 0), 0);
    // The samples survived, and the new play starts at the beginning.
    EXPECT_EQ(mixStereo16(1), (std::vector<int16_t>{1000, 1000}));

    engineSoundDevice()->device->markOutputLost();
    platform::lastManualAudioOutput()->setFailOpens(true);
    EXPECT_EQ(slot.play(0, 100, 0), -1);
    platform::lastManualAudioOutput()->setFailOpens(false);
}

TEST_F(SlotTest, ReleaseAndResetFreeTheSlot) {
    SoundSlot slot;
    loadRamp(slot, 4, 4);
    slot.play(0, 100, 0);
    slot.release();
    EXPECT_EQ(slot.voiceCount, 0);
    EXPECT_EQ(slot.currentVoice, 0);
    for (auto* voice : slot.voices) EXPECT_EQ(voice, nullptr);
    EXPECT_EQ(engineSoundDevice()->device->mixer().playingVoices(), 0u);
    EXPECT_EQ(slot.device, engineSoundDevice());
    slot.reset();
    EXPECT_EQ(slot.device, nullptr);
    EXPECT_EQ(slot.play(0, 100, 0), -1);
    EXPECT_FALSE(slot.stop(-1));
}

TEST_F(SlotTest, FillBufferReadsFromAPositionOfTheStream) {
    SoundSlot slot;
    slot.device = engineSoundDevice();
    ASSERT_TRUE(slot.createBuffer(4, 22050, 16, 2, false));
    const uint8_t bytes[] = {9, 9, 9, 9, 0x10, 0x27, 0xF0, 0xD8};  // then 10000, -10000
    const uint32_t key = files::registerMemBlock(bytes, sizeof bytes);
    char name[32];
    files::formatMemBlockName(name, sizeof bytes, key);
    ReadStream stream{};
    ASSERT_TRUE(readStreamOpen(stream, name));
    EXPECT_FALSE(slot.fillBuffer(stream, 4, 9));  // past the block
    ASSERT_TRUE(slot.fillBuffer(stream, 4, 4));
    readStreamClose(stream);
    files::unregisterMemBlock(key);
    slot.voiceCount = 1;
    EXPECT_EQ(slot.play(0, 100, 0), 0);
    EXPECT_EQ(mixStereo16(2), (std::vector<int16_t>{10000, 10000, -10000, -10000}));
    platform::AudioBuffer* voice = slot.voices[0];
    slot.clearVoices();  // forgets without releasing
    EXPECT_EQ(slot.voices[0], nullptr);
    voice->release();
}

class SlotWithoutDevice : public SoundTest {
protected:
    void SetUp() override { startSoundWithoutDevice(); }
};

TEST_F(SlotWithoutDevice, LoadFailsPlayGivesMinusOneStopGivesFalse) {
    ASSERT_NE(engineSoundDevice(), nullptr);
    EXPECT_EQ(engineSoundDevice()->device, nullptr);
    SoundSlot slot;
    EXPECT_FALSE(slot.load(engineSoundDevice(), writeFile("a.wav", monoWav({1, 2})).c_str(), 2));
    EXPECT_EQ(slot.voiceCount, 0);
    EXPECT_FALSE(slot.load(nullptr, "a.wav", 2));
    EXPECT_EQ(slot.play(0, 100, 0), -1);
    EXPECT_FALSE(slot.stop(-1));
    EXPECT_FALSE(slot.isPlaying(0));
    slot.setVolume(50);
    EXPECT_FALSE(engineSoundDevice()->getCaps());
}

}  // namespace
