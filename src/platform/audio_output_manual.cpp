// The audio outputs for tests and machines without sound: the manual output
// (opens always, has no thread; tests call the mixer themselves and may
// unplug it) and the failing one (never opens). Also the choice of output
// that the sound device makes.
#include "platform/audio_output.h"

namespace platform {

namespace {

ManualAudioOutput* lastManual = nullptr;
AudioOutputMaker chosenMaker = nullptr;

class FailingAudioOutput : public AudioOutput {
public:
    bool open(const AudioOutputFormat&, AudioMixer*) override { return false; }
    void close() override {}
    bool lost() const override { return false; }
};

}  // namespace

ManualAudioOutput::ManualAudioOutput() { lastManual = this; }

ManualAudioOutput::~ManualAudioOutput() {
    if (lastManual == this) lastManual = nullptr;
}

bool ManualAudioOutput::open(const AudioOutputFormat& format, AudioMixer*) {
    if (failOpens_) return false;
    open_ = true;
    lost_ = false;
    format_ = format;
    ++opens_;
    return true;
}

void ManualAudioOutput::close() { open_ = false; }

ManualAudioOutput* lastManualAudioOutput() { return lastManual; }

std::unique_ptr<AudioOutput> makeManualAudioOutput() { return std::make_unique<ManualAudioOutput>(); }

std::unique_ptr<AudioOutput> makeFailingAudioOutput() { return std::make_unique<FailingAudioOutput>(); }

void setAudioOutputMaker(AudioOutputMaker maker) { chosenMaker = maker; }

AudioOutputMaker audioOutputMaker() { return chosenMaker ? chosenMaker : &makeSdlAudioOutput; }

}  // namespace platform
