// The sound building blocks shared by the effect synthesiser and the music
// renderer: oscillators, an attack-hold-release envelope, one-pole low and
// high passes and a resonant band pass, all in plain floats at a given
// sample rate. Noise comes from a seeded generator, so a sound renders the
// same every time.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "rng.h"

namespace media {

enum class Wave { Sine, Square, Saw, Triangle, Noise };

// false when the name is none of sine, square, saw, triangle, noise.
bool parseWave(const std::string& name, Wave& wave);

class Oscillator {
public:
    Oscillator(Wave wave, uint64_t seed) : wave_(wave), rng_(seed) {}
    // One sample at the given frequency (Hz), advancing the phase.
    float next(double frequency, double sampleRate);
    void setPhase(double phase) { phase_ = phase; }

private:
    Wave wave_;
    double phase_ = 0;  // 0 to 1
    Rng rng_;
    float held_ = 0;    // noise is held for a few samples at low "frequency"
    double noisePhase_ = 0;
};

struct Envelope {
    double attack = 0.005;  // seconds, rising linearly from 0 to 1
    double hold = 0;        // seconds at 1
    double release = 0.2;   // seconds, falling from 1 to 0
    double curve = 2;       // the fall is (1 - x) ^ curve
    // The level t seconds after the start; 0 after the release.
    double level(double t) const;
    double length() const { return attack + hold + release; }
};

class OnePole {
public:
    // A low pass (or, with highPass, a high pass) at cutoff Hz.
    float lowPass(float in, double cutoff, double sampleRate);
    float highPass(float in, double cutoff, double sampleRate);

private:
    float state_ = 0;
};

class BandPass {
public:
    float run(float in, double centre, double q, double sampleRate);

private:
    float x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// The frequency of a note: semitones from A4 = 440 Hz.
double noteFrequency(double semitonesFromA4);
// "A4", "C#3", "Bb2" to semitones from A4; false when malformed.
bool parseNote(const std::string& text, double& semitonesFromA4);

// Scales the samples so the loudest reaches peak (0 to 1), after removing
// any constant offset; silence stays silence.
void normalize(std::vector<float>& samples, double peak);
// 16-bit samples, rounded and clamped.
std::vector<int16_t> toPcm16(const std::vector<float>& samples);

}  // namespace media
