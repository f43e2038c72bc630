// The Media folder's sounds through the runtime's own sound system, on the
// manual audio output (the test mixes): every effect loads with LoadSound as
// the game loads it and plays back sample for sample as its file holds it;
// the music opens in the music stream at its rate and channels and plays.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "media_table.h"
#include "platform/audio_device.h"
#include "platform/audio_mixer.h"
#include "platform/audio_output.h"
#include "runtime/services/runtime_error.h"
#include "sound/music_stream.h"
#include "sound/sound_commands.h"
#include "sound/sound_device.h"
#include "sound/sound_slot.h"
#include "sound/sound_system.h"
#include "temp_dir.h"
#include "wav_reader.h"

namespace {

int windowStandIn = 0;

class MediaRuntimeSounds : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(mediatable::mediaDir().empty()) << "VANTRIC_MEDIA_DIR is not set";
        platform::setAudioOutputMaker(&platform::makeManualAudioOutput);
        ASSERT_TRUE(createSoundSystem(&windowStandIn));
        device = engineSoundDevice()->device;
        ASSERT_NE(nullptr, device);
    }
    void TearDown() override {
        releaseSoundSystem();
        platform::setAudioOutputMaker(nullptr);
    }
    // Frames of the device's mix: 16-bit stereo at 22,050 Hz.
    std::vector<int16_t> mix(uint32_t frames) {
        std::vector<int16_t> out(frames * 2);
        device->mixer().mix(out.data(), frames);
        return out;
    }

    testsupport::TempDir dir;
    testsupport::ScopedEnv tmp{"TMPDIR", dir.path().c_str()};
    platform::AudioDevice* device = nullptr;
};

TEST_F(MediaRuntimeSounds, EveryEffectLoadsAndPlaysBackAsItsFileHoldsIt) {
    ASSERT_EQ(static_cast<uint32_t>(mediatable::kSoundRate), device->mixer().outputFormat().rate);
    for (const mediatable::SoundSpec& s : mediatable::kSounds) {
        SCOPED_TRACE(s.file);
        const std::string path = mediatable::mediaFile(s.file);
        LoadSound(RtString(path.c_str()), s.id, kMaxSoundVoices);
        ASSERT_EQ(0, RtErrorCode);
        EXPECT_EQ(kMaxSoundVoices, engineSoundSlots()[s.id].voiceCount);

        mediatest::WavData wav;
        std::string error;
        ASSERT_TRUE(mediatest::readWav(path, wav, error)) << error;
        ASSERT_EQ(1, wav.channels);
        const uint32_t frames = static_cast<uint32_t>(wav.samples.size());
        EXPECT_EQ(s.id * 256, PlaySoundSlot(s.id, 0.0, 1.0));
        // At the mix's own rate and full volume the samples arrive unchanged
        // on both sides, and the voice ends with the file's last frame.
        std::vector<int16_t> out = mix(frames + 64);
        int wrong = 0;
        for (uint32_t i = 0; i < frames; ++i) wrong += out[2 * i] != wav.samples[i] || out[2 * i + 1] != wav.samples[i];
        EXPECT_EQ(0, wrong);
        for (uint32_t i = frames * 2; i < out.size(); ++i) ASSERT_EQ(0, out[i]) << "after the end, frame " << i / 2;
        EXPECT_EQ(0, IsSoundPlaying(s.id * 256));
    }
}

TEST_F(MediaRuntimeSounds, MusicOpensInTheMusicStreamAndPlays) {
    MusicStream music(device);
    ASSERT_TRUE(music.start(mediatable::mediaFile(mediatable::kMusicFile).c_str(), 1.0, true, false));
    EXPECT_EQ(static_cast<uint32_t>(mediatable::kMusicRate), music.rate());
    EXPECT_EQ(mediatable::kMusicChannels, music.channels());
    EXPECT_TRUE(music.isPlaying());
    // Two seconds, fed as the feeder thread would: never a quiet half second.
    for (int half = 0; half < 4; ++half) {
        std::vector<int16_t> out = mix(mediatable::kSoundRate / 2);
        EXPECT_TRUE(music.service());
        int peak = 0;
        for (int16_t v : out) peak = std::max(peak, std::abs(static_cast<int>(v)));
        EXPECT_GT(peak, 1000) << "half second " << half;
    }
    music.stop();
    EXPECT_FALSE(music.isPlaying());
}

}  // namespace
