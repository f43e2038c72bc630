// The effect synthesiser's sources: a file of sound blocks, each a WAV file
// made of layers of oscillators, mixed, normalised and written as 16-bit
// mono PCM.
//
//   sound <file.wav> rate <22050|44100> length <seconds> [peak <0..1>]
//     layer <sine|square|saw|triangle|noise> <key> <value> ...
//   end
//
// Layer keys (frequencies in Hz, times in seconds; "A>B" sweeps from A to B
// over the layer's envelope, exponentially):
//   freq A[>B]   amp a   start t   attack a   hold h   release r   curve c
//   lowpass A[>B]   highpass A   bandpass A[>B] <q>   vibrato <rate> <semitones>
//   tremolo <rate> <depth>   fm <ratio> <index>   seed n
//   repeat <count> <every>   step <semitones per repeat>   fade <level per repeat>
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "../common/synth.h"
#include "../common/text_source.h"

namespace media {

struct Sweep {
    double from = 0, to = 0;
    bool set = false;
    double at(double x) const;  // x from 0 to 1
};

struct Layer {
    Wave wave = Wave::Sine;
    Sweep freq{440, 440, true};
    double amp = 0.5, start = 0;
    Envelope env;
    Sweep lowpass, bandpass;
    double highpass = 0, q = 1;
    double vibratoRate = 0, vibratoDepth = 0, tremoloRate = 0, tremoloDepth = 0;
    double fmRatio = 0, fmIndex = 0;
    uint64_t seed = 1;
    int repeat = 1;
    double every = 0, step = 0, fade = 1;
};

struct SoundPatch {
    std::string file;
    uint32_t rate = 22050;
    double length = 0.5;
    double peak = 0.9;
    std::vector<Layer> layers;
};

// Every sound block of a source file; throws MediaError naming the line.
std::vector<SoundPatch> readSoundPatches(const std::string& path);
// The mixed, normalised samples of one sound.
std::vector<float> renderPatch(const SoundPatch& patch);

}  // namespace media
