// Reading and rendering the effect synthesiser's sound blocks.
#include "sound_patch.h"

#include <algorithm>
#include <cmath>

#include "../common/media_error.h"

namespace media {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMaxLength = 10.0;  // seconds: no effect is longer

Sweep sweep(const SourceLine& line, const std::string& token, double lo, double hi) {
    Sweep s;
    size_t arrow = token.find('>');
    s.from = numberInRange(line, token.substr(0, arrow), lo, hi);
    s.to = arrow == std::string::npos ? s.from : numberInRange(line, token.substr(arrow + 1), lo, hi);
    s.set = true;
    return s;
}

Layer readLayer(const SourceLine& line) {
    Layer l;
    if (!parseWave(line.token(1, "wave"), l.wave)) line.fail("unknown wave '" + line.tokens[1] + "'");
    if (l.wave == Wave::Noise) l.freq = Sweep{0, 0, true};
    for (size_t i = 2; i < line.tokens.size(); ++i) {
        const std::string& key = line.tokens[i];
        auto value = [&](double lo, double hi) { return numberInRange(line, line.token(++i, "value"), lo, hi); };
        if (key == "freq") l.freq = sweep(line, line.token(++i, "frequency"), 0, 20000);
        else if (key == "amp") l.amp = value(0, 4);
        else if (key == "start") l.start = value(0, kMaxLength);
        else if (key == "attack") l.env.attack = value(0, kMaxLength);
        else if (key == "hold") l.env.hold = value(0, kMaxLength);
        else if (key == "release") l.env.release = value(0, kMaxLength);
        else if (key == "curve") l.env.curve = value(0.1, 10);
        else if (key == "lowpass") l.lowpass = sweep(line, line.token(++i, "frequency"), 10, 20000);
        else if (key == "highpass") l.highpass = value(10, 20000);
        else if (key == "bandpass") {
            l.bandpass = sweep(line, line.token(++i, "frequency"), 10, 20000);
            l.q = value(0.1, 50);
        } else if (key == "vibrato") {
            l.vibratoRate = value(0, 100);
            l.vibratoDepth = value(0, 24);
        } else if (key == "tremolo") {
            l.tremoloRate = value(0, 200);
            l.tremoloDepth = value(0, 1);
        } else if (key == "fm") {
            l.fmRatio = value(0, 32);
            l.fmIndex = value(0, 32);
        } else if (key == "seed") l.seed = static_cast<uint64_t>(value(0, 1e15));
        else if (key == "repeat") {
            l.repeat = static_cast<int>(value(1, 64));
            l.every = value(0, kMaxLength);
        } else if (key == "step") l.step = value(-48, 48);
        else if (key == "fade") l.fade = value(0, 2);
        else line.fail("unknown layer key '" + key + "'");
    }
    return l;
}

void renderLayer(const Layer& l, double rate, std::vector<float>& mix) {
    const double len = std::max(l.env.length(), 1.0 / rate);
    double gain = l.amp;
    for (int r = 0; r < l.repeat; ++r, gain *= l.fade) {
        Oscillator osc(l.wave, l.seed + static_cast<uint64_t>(r) * 7919);
        OnePole low, high;
        BandPass band;
        const double start = l.start + r * l.every;
        const double pitch = std::pow(2.0, r * l.step / 12.0);
        double modPhase = 0, carrier = 0;
        const size_t first = static_cast<size_t>(std::llround(start * rate));
        const size_t count = static_cast<size_t>(std::ceil(len * rate));
        for (size_t n = 0; n < count && first + n < mix.size(); ++n) {
            double t = n / rate;
            double x = t / len;
            double f = l.freq.at(x) * pitch;
            if (l.vibratoDepth > 0) f *= std::pow(2.0, l.vibratoDepth / 12.0 * std::sin(2 * kPi * l.vibratoRate * t));
            float s;
            if (l.fmIndex > 0 && l.wave == Wave::Sine) {
                modPhase += f * l.fmRatio / rate;
                carrier += f / rate;
                s = static_cast<float>(std::sin(2 * kPi * carrier + l.fmIndex * (1 - x) * std::sin(2 * kPi * modPhase)));
            } else {
                s = osc.next(f, rate);
            }
            if (l.lowpass.set) s = low.lowPass(s, l.lowpass.at(x), rate);
            if (l.highpass > 0) s = high.highPass(s, l.highpass, rate);
            if (l.bandpass.set) s = band.run(s, l.bandpass.at(x), l.q, rate);
            double level = l.env.level(t) * gain;
            if (l.tremoloDepth > 0) level *= 1 - l.tremoloDepth * 0.5 * (1 + std::sin(2 * kPi * l.tremoloRate * t));
            mix[first + n] += static_cast<float>(s * level);
        }
    }
}

}  // namespace

double Sweep::at(double x) const {
    if (from == to || x <= 0) return from;
    if (x >= 1) return to;
    if (from > 0 && to > 0) return from * std::pow(to / from, x);
    return from + (to - from) * x;
}

std::vector<SoundPatch> readSoundPatches(const std::string& path) {
    std::vector<SoundPatch> patches;
    bool open = false;
    for (const SourceLine& line : readSourceFile(path)) {
        if (line.tokens.empty()) continue;
        const std::string& word = line.tokens[0];
        if (word == "sound") {
            if (open) line.fail("'sound' inside a sound block (missing 'end'?)");
            SoundPatch p;
            p.file = line.token(1, "file name");
            if (!isPlainFileName(p.file, ".wav")) line.fail("a sound is a plain file name ending in .wav");
            for (const SoundPatch& other : patches)
                if (other.file == p.file) line.fail("sound '" + p.file + "' made twice");
            for (size_t i = 2; i < line.tokens.size(); i += 2) {
                const std::string& key = line.tokens[i];
                const std::string& value = line.token(i + 1, "value");
                if (key == "rate") p.rate = sampleRateOption(line, value);
                else if (key == "length") p.length = numberInRange(line, value, 0.01, kMaxLength);
                else if (key == "peak") p.peak = numberInRange(line, value, 0.05, 1);
                else line.fail("unknown sound option '" + key + "'");
            }
            patches.push_back(p);
            open = true;
        } else if (word == "layer") {
            if (!open) line.fail("'layer' outside a sound block");
            patches.back().layers.push_back(readLayer(line));
        } else if (word == "end") {
            if (!open) line.fail("'end' without a sound block");
            if (patches.back().layers.empty()) line.fail("a sound needs at least one layer");
            open = false;
        } else {
            line.fail("unknown directive '" + word + "'");
        }
    }
    if (open) throw MediaError(path + ": the last sound block has no 'end'");
    return patches;
}

std::vector<float> renderPatch(const SoundPatch& patch) {
    std::vector<float> mix(static_cast<size_t>(std::ceil(patch.length * patch.rate)), 0.0f);
    for (const Layer& l : patch.layers) renderLayer(l, patch.rate, mix);
    normalize(mix, patch.peak);
    // Short fades at both ends so the sound starts and stops without a click.
    const size_t fade = std::min(mix.size() / 4, static_cast<size_t>(patch.rate / 500));
    for (size_t i = 0; i < fade; ++i) {
        float g = static_cast<float>(i) / static_cast<float>(fade);
        mix[i] *= g;
        mix[mix.size() - 1 - i] *= g;
    }
    return mix;
}

}  // namespace media
