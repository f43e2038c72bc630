// Oscillators, envelope, filters and note names.
#include "synth.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace media {
namespace {
constexpr double kPi = 3.14159265358979323846;
}

bool parseWave(const std::string& name, Wave& wave) {
    if (name == "sine") wave = Wave::Sine;
    else if (name == "square") wave = Wave::Square;
    else if (name == "saw") wave = Wave::Saw;
    else if (name == "triangle") wave = Wave::Triangle;
    else if (name == "noise") wave = Wave::Noise;
    else return false;
    return true;
}

float Oscillator::next(double frequency, double sampleRate) {
    double step = std::max(0.0, frequency) / sampleRate;
    float out = 0;
    switch (wave_) {
    case Wave::Sine: out = static_cast<float>(std::sin(2 * kPi * phase_)); break;
    case Wave::Square: out = phase_ < 0.5 ? 0.8f : -0.8f; break;
    case Wave::Saw: out = static_cast<float>(2 * phase_ - 1) * 0.8f; break;
    case Wave::Triangle: out = static_cast<float>(phase_ < 0.5 ? 4 * phase_ - 1 : 3 - 4 * phase_); break;
    case Wave::Noise:
        // White noise, or at a frequency below the sample rate a stepped
        // noise that changes value that many times a second.
        noisePhase_ += step;
        if (frequency <= 0 || noisePhase_ >= 1.0) {
            noisePhase_ -= std::floor(noisePhase_);
            held_ = static_cast<float>(rng_.signedUniform());
        }
        out = held_;
        break;
    }
    phase_ += step;
    phase_ -= std::floor(phase_);
    return out;
}

double Envelope::level(double t) const {
    if (t < 0) return 0;
    if (t < attack) return attack > 0 ? t / attack : 1;
    t -= attack;
    if (t < hold) return 1;
    t -= hold;
    if (release <= 0 || t >= release) return 0;
    return std::pow(1.0 - t / release, curve);
}

float OnePole::lowPass(float in, double cutoff, double sampleRate) {
    double a = 1.0 - std::exp(-2 * kPi * std::clamp(cutoff, 1.0, sampleRate * 0.49) / sampleRate);
    state_ += static_cast<float>(a) * (in - state_);
    return state_;
}

float OnePole::highPass(float in, double cutoff, double sampleRate) {
    return in - lowPass(in, cutoff, sampleRate);
}

float BandPass::run(float in, double centre, double q, double sampleRate) {
    double w = 2 * kPi * std::clamp(centre, 10.0, sampleRate * 0.45) / sampleRate;
    double alpha = std::sin(w) / (2 * std::max(q, 0.1));
    double a0 = 1 + alpha;
    double b0 = alpha / a0, b2 = -alpha / a0;
    double a1 = -2 * std::cos(w) / a0, a2 = (1 - alpha) / a0;
    float y = static_cast<float>(b0 * in + b2 * x2_ - a1 * y1_ - a2 * y2_);
    x2_ = x1_;
    x1_ = in;
    y2_ = y1_;
    y1_ = y;
    return y;
}

double noteFrequency(double semitones) { return 440.0 * std::pow(2.0, semitones / 12.0); }

bool parseNote(const std::string& text, double& semitones) {
    static const int kOffsets[7] = {0, 2, -9, -7, -5, -4, -2};  // A B C D E F G from A
    if (text.size() < 2) return false;
    char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G') return false;
    int value = kOffsets[letter - 'A'];
    size_t i = 1;
    if (text[i] == '#') {
        ++value;
        ++i;
    } else if (text[i] == 'b') {
        --value;
        ++i;
    }
    if (i + 1 != text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    int octave = text[i] - '0';
    semitones = value + 12.0 * (octave - 4);
    return true;
}

void normalize(std::vector<float>& samples, double peak) {
    if (samples.empty()) return;
    double mean = 0;
    for (float s : samples) mean += s;
    mean /= static_cast<double>(samples.size());
    float loudest = 0;
    for (float& s : samples) {
        s -= static_cast<float>(mean);
        loudest = std::max(loudest, std::fabs(s));
    }
    if (loudest <= 1e-9f) return;
    float gain = static_cast<float>(peak) / loudest;
    for (float& s : samples) s *= gain;
}

std::vector<int16_t> toPcm16(const std::vector<float>& samples) {
    std::vector<int16_t> out;
    out.reserve(samples.size());
    for (float s : samples) {
        double v = std::round(std::clamp(static_cast<double>(s), -1.0, 1.0) * 32767.0);
        out.push_back(static_cast<int16_t>(v));
    }
    return out;
}

}  // namespace media
