// The audio output over SDL2: an SDL audio device in the mixer's format whose
// callback (on SDL's audio thread) pulls the mix. SDL_AUDIODRIVER picks the
// driver: "dummy" mixes into nothing, "disk" writes the frames to the file
// named by SDL_DISKAUDIOFILE. A machine without audio fails to open, and the
// sound device then reports that there is no driver; why it failed goes to
// the platform's log sink (log_sink.h), once per process.
#include <SDL.h>

#include <cstdio>
#include <mutex>

#include "platform/audio_mixer.h"
#include "platform/audio_output.h"
#include "platform/log_sink.h"

namespace platform {

namespace {

// open and close may run on another thread than the one asking lost() (the
// music feeder restores its buffer itself); the state lock keeps lost() off
// a device being closed. lost() is asked with the mixer's lock held, which
// SDL's callback takes while close() waits for it, so lost() only tries the
// state lock and answers "not lost" while an open or close is under way.
class SdlAudioOutput : public AudioOutput {
public:
    ~SdlAudioOutput() override { close(); }

    bool open(const AudioOutputFormat& format, AudioMixer* mixer) override {
        std::lock_guard<std::mutex> guard(stateLock_);
        closeLocked();
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            logFailure("audio: no audio driver: ");
            return false;
        }
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(format.rate);
        want.format = format.bits == 16 ? AUDIO_S16LSB : AUDIO_U8;
        want.channels = static_cast<Uint8>(format.channels);
        // About 23 ms a callback: short enough that a play is heard at once.
        want.samples = format.rate > 24000 ? 1024 : 512;
        want.callback = &SdlAudioOutput::pull;
        want.userdata = this;
        SDL_AudioSpec have{};
        mixer_ = mixer;
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0) {
            logFailure("audio: cannot open the audio device: ");
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            mixer_ = nullptr;
            return false;
        }
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    void close() override {
        std::lock_guard<std::mutex> guard(stateLock_);
        closeLocked();
    }

    bool lost() const override {
        std::unique_lock<std::mutex> guard(stateLock_, std::try_to_lock);
        if (!guard.owns_lock()) return false;
        return device_ != 0 && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED;
    }

private:
    void closeLocked() {
        if (device_ == 0) return;
        SDL_CloseAudioDevice(device_);  // waits for a callback under way
        device_ = 0;
        mixer_ = nullptr;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    static void SDLCALL pull(void* self, Uint8* stream, int length) {
        auto* output = static_cast<SdlAudioOutput*>(self);
        output->mixer_->mixBytes(stream, static_cast<uint32_t>(length));
    }

    // Once per process: a machine without audio fails every restore alike.
    static void logFailure(const char* what) {
        static bool reported = false;
        if (reported) return;
        reported = true;
        char line[512];
        std::snprintf(line, sizeof line, "%s%s\n", what, SDL_GetError());
        logText(line);
    }

    mutable std::mutex stateLock_;
    SDL_AudioDeviceID device_ = 0;
    AudioMixer* mixer_ = nullptr;
};

}  // namespace

std::unique_ptr<AudioOutput> makeSdlAudioOutput() { return std::make_unique<SdlAudioOutput>(); }

}  // namespace platform
