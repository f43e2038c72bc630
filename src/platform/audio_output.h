// The audio output contract: where the sound device's mixer sends its
// frames. One real output over SDL2 audio (a thread of SDL's pulls the mix),
// a manual one with no thread (tests call the mixer themselves) and a failing
// one (a machine without audio). The sound device picks the output through
// the maker set here.
#pragma once
#include <cstdint>
#include <memory>

namespace platform {

class AudioMixer;

struct AudioOutputFormat {
    uint32_t rate;      // frames per second
    uint16_t channels;  // 1 or 2
    uint16_t bits;      // 8 (unsigned) or 16 (signed)
};

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Opens the output in this format and starts pulling frames from the
    // mixer. False when there is no output to open.
    virtual bool open(const AudioOutputFormat& format, AudioMixer* mixer) = 0;
    // Stops pulling; when it returns the mixer is no longer called.
    virtual void close() = 0;
    // True once an open output went away (unplugged).
    virtual bool lost() const = 0;
};

using AudioOutputMaker = std::unique_ptr<AudioOutput> (*)();

// SDL2's audio output (the SDL_AUDIODRIVER variable picks its driver).
std::unique_ptr<AudioOutput> makeSdlAudioOutput();
// No thread: opens always, never pulls, reports lost only when told.
std::unique_ptr<AudioOutput> makeManualAudioOutput();
// Never opens: the "no audio device" machine.
std::unique_ptr<AudioOutput> makeFailingAudioOutput();

// The maker that createAudioDevice uses; null restores SDL2's.
void setAudioOutputMaker(AudioOutputMaker maker);
AudioOutputMaker audioOutputMaker();

// The manual output made last, for tests that unplug it.
class ManualAudioOutput : public AudioOutput {
public:
    ManualAudioOutput();
    ~ManualAudioOutput() override;
    bool open(const AudioOutputFormat& format, AudioMixer* mixer) override;
    void close() override;
    bool lost() const override { return lost_; }
    void setLost(bool lost) { lost_ = lost; }
    // While set, every open fails (an output that does not come back).
    void setFailOpens(bool fail) { failOpens_ = fail; }
    bool isOpen() const { return open_; }
    const AudioOutputFormat& format() const { return format_; }
    int openCount() const { return opens_; }

private:
    bool open_ = false;
    bool lost_ = false;
    bool failOpens_ = false;
    int opens_ = 0;
    AudioOutputFormat format_{};
};
ManualAudioOutput* lastManualAudioOutput();

}  // namespace platform
