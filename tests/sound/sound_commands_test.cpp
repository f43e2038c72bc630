// The sound commands: slot search, loading with its error codes (disk, pack,
// a name that resolves to nothing), playing with the pan and volume rules,
// channels, stopping, the system's start-up and its release at shutdown.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "child_process.h"
#include "file_bytes.h"
#include "platform/audio_mixer.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/files/lz_codec.h"
#include "runtime/files/pack_archive.h"
#include "runtime/services/runtime_error.h"
#include "sound/desktop_audio.h"
#include "sound/sound_commands.h"
#include "sound/sound_device.h"
#include "sound/sound_slot.h"
#include "sound/sound_system.h"
#include "sound_test_support.h"
#include "temp_dir.h"

using namespace soundtest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

class CommandTest : public SoundTest {
protected:
    void loadInto(int32_t slot, int32_t voices, const std::vector<int16_t>& samples = {10000, 10000, 10000, 10000}) {
        LoadSound(RtString(writeFile("s" + std::to_string(slot) + ".wav", monoWav(samples)).c_str()), slot, voices);
        ASSERT_EQ(RtErrorCode, 0);
    }
    SoundSlot& slotAt(int32_t slot) { return engineSoundSlots()[slot]; }
    int32_t volumeOf(int32_t slot, int voice) {
        int32_t value = 1;
        slotAt(slot).voices[voice]->getVolume(&value);
        return value;
    }
    int32_t panOf(int32_t slot, int voice) {
        int32_t value = 1;
        slotAt(slot).voices[voice]->getPan(&value);
        return value;
    }
};

TEST_F(CommandTest, FindFreeSoundSlotSearchesFromTheTop) {
    EXPECT_EQ(FindFreeSoundSlot(), 4095);
    loadInto(4095, 1);
    EXPECT_EQ(FindFreeSoundSlot(), 4094);
    for (int32_t i = 0; i < kSoundSlotCount; ++i) slotAt(i).voiceCount = 1;  // every slot taken
    RtErrorCode = 5;
    EXPECT_EQ(FindFreeSoundSlot(), -1);
    EXPECT_EQ(RtErrorCode, 7);
    slotAt(17).voiceCount = 0;
    EXPECT_EQ(FindFreeSoundSlot(), 17);
    EXPECT_EQ(RtErrorCode, 0);
    for (int32_t i = 0; i < kSoundSlotCount; ++i) {
        if (i != 4095) slotAt(i).voiceCount = 0;
    }
}

TEST_F(CommandTest, LoadSoundErrors) {
    LoadSound(RtString(writeFile("a.wav", monoWav({1, 2})).c_str()), 4096, 1);
    EXPECT_EQ(RtErrorCode, 7);
    LoadSound(RtString("a.wav"), -1, 1);
    EXPECT_EQ(RtErrorCode, 7);

    loadInto(3, 2);
    LoadSound(RtString(dir.file("missing.wav").c_str()), 3, 1);
    EXPECT_EQ(RtErrorCode, 3);
    EXPECT_EQ(slotAt(3).voiceCount, 2);  // a name that resolves to nothing leaves the old sound

    LoadSound(RtString(writeFile("text.wav", "not a sound at all").c_str()), 3, 1);
    EXPECT_EQ(RtErrorCode, 3);
    EXPECT_EQ(slotAt(3).voiceCount, 0);  // released before the read
    EXPECT_EQ(slotAt(3).voices[0], nullptr);

    LoadSound(RtString(), 3, 1);
    EXPECT_EQ(RtErrorCode, 3);
    loadInto(3, 4);
    EXPECT_EQ(slotAt(3).voiceCount, 4);
    // Each file that failed is named; the bad slot numbers name none.
    EXPECT_EQ(errorLog(), "Sound failed: " + dir.file("missing.wav") + "\nSound failed: " + dir.file("text.wav") +
                              "\nSound failed: \n");
}

TEST_F(CommandTest, PlaySoundSlotGivesTheChannel) {
    loadInto(5, 1);
    EXPECT_EQ(PlaySoundSlot(5, 0, 1), 1280);
    EXPECT_EQ(PlaySoundSlot(5, 0, 1), -1);  // one voice, still playing
    EXPECT_EQ(RtErrorCode, 0);
    loadInto(4095, 2);
    EXPECT_EQ(PlaySoundSlot(4095, 0, 1), 4095 * 256);
    EXPECT_EQ(PlaySoundSlot(4095, 0, 1), 4095 * 256 + 1);
    EXPECT_EQ(PlaySoundSlot(7, 0, 1), -1);  // nothing loaded
    EXPECT_EQ(RtErrorCode, 0);
}

TEST_F(CommandTest, PlaySoundSlotWithABadSlotRecordsError7) {
    EXPECT_EQ(PlaySoundSlot(4096, 0, 1), 0);
    EXPECT_EQ(RtErrorCode, 7);
    clearErrorCode();
    EXPECT_EQ(PlaySoundSlot(-1, 0, 1), 0);
    EXPECT_EQ(RtErrorCode, 7);
}

TEST_F(CommandTest, PanAndVolumeAreClamped) {
    loadInto(9, 4);
    PlaySoundSlot(9, 2.5, 1.7);
    EXPECT_EQ(panOf(9, 0), 10000);
    EXPECT_EQ(volumeOf(9, 0), 0);
    PlaySoundSlot(9, -0.25, 0.004);
    EXPECT_EQ(panOf(9, 1), -2500);
    EXPECT_EQ(volumeOf(9, 1), -10000);
    PlaySoundSlot(9, kNaN, kNaN);
    EXPECT_EQ(panOf(9, 2), 0);
    EXPECT_EQ(volumeOf(9, 2), -10000);
    PlaySoundSlot(9, -kInfinity, kInfinity);
    EXPECT_EQ(panOf(9, 3), -10000);
    EXPECT_EQ(volumeOf(9, 3), 0);
    PlaySoundSlot(9, kInfinity, -kInfinity);
    EXPECT_EQ(panOf(9, 0), 10000);
    EXPECT_EQ(volumeOf(9, 0), -10000);
    PlaySoundSlot(9, 0.99999, 0.5);
    EXPECT_EQ(panOf(9, 1), 9999);
    EXPECT_EQ(volumeOf(9, 1), -602);
}

TEST_F(CommandTest, PlayingMixesAtTheGivenLevels) {
    loadInto(2, 2, {20000, 20000});
    PlaySoundSlot(2, 1.0, 0.5);
    PlaySoundSlot(2, -1.0, 0.1);
    EXPECT_EQ(mixStereo16(1), (std::vector<int16_t>{2000, 10001}));  // 0.1 left; 0.50003 right
}

TEST_F(CommandTest, IsSoundPlaying) {
    loadInto(6, 2, {1, 2, 3});
    const int32_t channel = PlaySoundSlot(6, 0, 1);
    EXPECT_EQ(IsSoundPlaying(channel), 1);
    EXPECT_EQ(IsSoundPlaying(channel + 1), 0);
    EXPECT_EQ(IsSoundPlaying(channel + 200), 0);
    mixStereo16(3);
    EXPECT_EQ(IsSoundPlaying(channel), 0);
    EXPECT_EQ(RtErrorCode, 0);
    EXPECT_EQ(IsSoundPlaying(-1), 0);
    EXPECT_EQ(RtErrorCode, 7);
    clearErrorCode();
    EXPECT_EQ(IsSoundPlaying(4096 * 256), 0);
    EXPECT_EQ(RtErrorCode, 7);
}

TEST_F(CommandTest, StopSoundChannel) {
    loadInto(8, 3);
    PlaySoundSlot(8, 0, 1);
    PlaySoundSlot(8, 0, 1);
    PlaySoundSlot(8, 0, 1);
    StopSoundChannel(-1);
    EXPECT_EQ(RtErrorCode, 0);
    StopSoundChannel(8 * 256 + 1);
    EXPECT_EQ(IsSoundPlaying(8 * 256 + 0), 1);
    EXPECT_EQ(IsSoundPlaying(8 * 256 + 1), 0);
    StopSoundChannel(8 * 256 + 9);  // beyond the slot's voices: all of them
    EXPECT_EQ(IsSoundPlaying(8 * 256 + 0), 0);
    EXPECT_EQ(IsSoundPlaying(8 * 256 + 2), 0);
    StopSoundChannel(4096 * 256);
    EXPECT_EQ(RtErrorCode, 7);
}

TEST_F(CommandTest, StopAllSounds) {
    loadInto(0, 1);
    loadInto(4095, 2);
    PlaySoundSlot(0, 0, 1);
    PlaySoundSlot(4095, 0, 1);
    PlaySoundSlot(4095, 0, 1);
    StopAllSounds();
    EXPECT_EQ(engineSoundDevice()->device->mixer().playingVoices(), 0u);
    EXPECT_EQ(mixStereo16(1), (std::vector<int16_t>{0, 0}));
}

// A pack of one LZO entry, appended to a file: entry data, directory, trailer.
std::string makePack(const std::string& entryName, const std::string& content) {
    auto codec = std::make_unique<LzDecoder>();
    codec->mode = kLzModeLzo;
    lzEncode(*codec, reinterpret_cast<const uint8_t*>(content.data()), static_cast<uint32_t>(content.size()));
    const std::string packed(reinterpret_cast<const char*>(codec->output), codec->outputLength);
    auto le32 = [](int32_t v) {
        std::string out(4, '\0');
        for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
        return out;
    };
    const std::string prefix = "not the executable, but it carries a pack";
    std::string pack = prefix + packed;
    const int32_t directory = static_cast<int32_t>(pack.size());
    pack += static_cast<char>(entryName.size()) + entryName + le32(static_cast<int32_t>(prefix.size())) +
            le32(static_cast<int32_t>(packed.size())) + std::string(1, '\0');
    return pack + "sbX" + le32(directory);
}

TEST_F(CommandTest, LoadSoundFindsAPackEntryWhenTheDiskHasNone) {
    const std::string archive = writeFile("game.bin", makePack("boom.wav", monoWav({4242, -4242})));
    openPackArchives(RtString(archive.c_str()), RtString(archive.c_str()));
    LoadSound(RtString("Media/BOOM.WAV"), 11, 1);
    EXPECT_EQ(RtErrorCode, 0);
    EXPECT_EQ(PlaySoundSlot(11, 0, 1), 11 * 256);
    EXPECT_EQ(mixStereo16(2), (std::vector<int16_t>{4242, 4242, -4242, -4242}));
    LoadSound(RtString("Media/other.wav"), 12, 1);
    EXPECT_EQ(RtErrorCode, 3);
    releasePackArchives();
}

class CommandsWithoutDevice : public SoundTest {
protected:
    void SetUp() override { startSoundWithoutDevice(); }
};

TEST_F(CommandsWithoutDevice, LoadsFailWithError3AndPlaysGiveMinusOne) {
    EXPECT_EQ(FindFreeSoundSlot(), 4095);
    LoadSound(RtString(writeFile("a.wav", monoWav({1, 2})).c_str()), 4095, 1);
    EXPECT_EQ(RtErrorCode, 3);
    EXPECT_EQ(PlaySoundSlot(4095, 0, 1), -1);
    EXPECT_EQ(IsSoundPlaying(4095 * 256), 0);
    StopSoundChannel(4095 * 256);
    StopAllSounds();
    EXPECT_EQ(RtErrorCode, 3);
}

TEST(CommandsBeforeStartUp, DoNothingHarmful) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv tmp("TMPDIR", dir.path().c_str());
    EXPECT_EQ(engineSoundSlots(), nullptr);
    EXPECT_EQ(FindFreeSoundSlot(), -1);
    EXPECT_EQ(RtErrorCode, 7);
    LoadSound(RtString("x.wav"), 1, 1);
    EXPECT_EQ(RtErrorCode, 3);
    EXPECT_EQ(PlaySoundSlot(1, 0, 1), -1);
    EXPECT_EQ(IsSoundPlaying(256), 0);
    StopSoundChannel(256);
    StopAllSounds();
    restoreSoundCooperativeLevel(nullptr);
}

TEST_F(CommandTest, TheSystemIsMadeOnceAndReleasedByTheShutdown) {
    SoundDevice* device = engineSoundDevice();
    ASSERT_NE(device, nullptr);
    EXPECT_NE(device->device, nullptr);
    EXPECT_EQ(device->capabilities.version, 96u);
    EXPECT_EQ(device->device->mixer().outputFormat().rate, 22050u);
    EXPECT_EQ(device->device->mixer().outputFormat().bits, 16);
    EXPECT_EQ(device->device->mixer().outputFormat().channels, 2);
    EXPECT_TRUE(createSoundSystem(fakeWindow()));
    EXPECT_EQ(engineSoundDevice(), device);
    loadInto(1, 4);
    PlaySoundSlot(1, 0, 1);
    shutdownEngine();
    EXPECT_EQ(engineSoundDevice(), nullptr);
    EXPECT_EQ(engineSoundSlots(), nullptr);
    EXPECT_EQ(PlaySoundSlot(1, 0, 1), -1);
}

TEST_F(CommandTest, SoundDeviceCreateWithoutAWindowKeepsTheDevice) {
    SoundDevice holder;
    EXPECT_FALSE(holder.create(nullptr));  // the cooperative level needs a window
    ASSERT_NE(holder.device, nullptr);
    EXPECT_TRUE(holder.getCaps());
    holder.restoreCooperativeLevel(fakeWindow());
    EXPECT_TRUE(holder.create(fakeWindow()));
}

TEST(SoundShutdown, TheProgramEndsInOrderWithMusicStreaming) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv tmp("TMPDIR", dir.path().c_str());
    const std::string music = dir.file("tune.ogg");
    testsupport::writeFileBytes(music, makeOgg(sine(0.5, 440, 0.5, 2, 22050), 2, 22050));
    testsupport::ChildResult result = testsupport::runInChild([&] {
        startSoundOnManualOutput();
        if (!playDesktopMusic(music.c_str(), 1.0, true)) std::_Exit(3);  // with its feeder thread
        setRuntimeError(0);
        terminateProgram();
        std::_Exit(4);  // never reached
    });
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 0);
}

}  // namespace
