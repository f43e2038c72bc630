// Rendering the score: every note of every section in song order into one
// stereo loop, then the echo, which also runs round the loop.
#include <algorithm>
#include <cmath>

#include "score.h"

namespace media {
namespace {

constexpr double kPi = 3.14159265358979323846;

void renderNote(const Instrument& in, const Note& note, double startSec, double stepSec, double rate,
                std::vector<float>& loop) {
    const size_t frames = loop.size() / 2;
    Envelope env = in.env;
    env.hold = std::max(0.0, note.length * stepSec - env.attack) + in.env.hold;
    const size_t count = static_cast<size_t>(std::ceil(env.length() * rate));
    const size_t first = static_cast<size_t>(std::llround(startSec * rate));
    // constant-power pan
    const double angle = (in.pan + 1) * kPi / 4;
    const float gainL = static_cast<float>(std::cos(angle)), gainR = static_cast<float>(std::sin(angle));
    for (size_t p = 0; p < note.pitches.size(); ++p) {
        for (int v = 0; v < in.voices; ++v) {
            double cents = in.voices > 1 ? in.detune * (2.0 * v / (in.voices - 1) - 1.0) : 0.0;
            double base = noteFrequency(note.pitches[p]) * std::pow(2.0, cents / 1200.0);
            Oscillator osc(in.wave, in.seed + p * 131 + static_cast<uint64_t>(v) * 17 + static_cast<uint64_t>(note.start));
            osc.setPhase((v * 0.37) - std::floor(v * 0.37));
            OnePole low;
            double carrier = 0, mod = 0;
            for (size_t n = 0; n < count; ++n) {
                double t = n / rate;
                double f = base;
                if (in.drop != 0) f *= std::pow(2.0, -in.drop / 12.0 * std::min(1.0, t / std::max(env.length(), 1e-3)));
                if (in.vibratoDepth > 0)
                    f *= std::pow(2.0, in.vibratoDepth / 12.0 * std::sin(2 * kPi * in.vibratoRate * t) * std::min(1.0, t * 3));
                float s;
                if (in.fmIndex > 0 && in.wave == Wave::Sine) {
                    carrier += f / rate;
                    mod += f * in.fmRatio / rate;
                    double decay = std::exp(-t * 3.0);
                    s = static_cast<float>(std::sin(2 * kPi * carrier + in.fmIndex * decay * std::sin(2 * kPi * mod)));
                } else {
                    s = osc.next(f, rate);
                }
                if (in.lowpass > 0) s = low.lowPass(s, in.lowpass, rate);
                float level = static_cast<float>(env.level(t) * in.amp / in.voices);
                size_t at = (first + n) % frames;
                loop[at * 2] += s * level * gainL;
                loop[at * 2 + 1] += s * level * gainR;
            }
        }
    }
}

// A feedback echo on each channel (the right a little later, for width),
// run twice round the loop so that what it holds at the end of the first
// pass feeds the start of the second: the loop then joins seamlessly.
void applyEcho(const Score& score, std::vector<float>& loop) {
    if (score.echoMix <= 0 || score.echoDelay <= 0) return;
    const size_t frames = loop.size() / 2;
    const std::vector<float> dry = loop;
    for (int ch = 0; ch < 2; ++ch) {
        size_t delay = static_cast<size_t>(score.echoDelay * (ch ? 1.12 : 1.0) * score.rate);
        delay = std::clamp<size_t>(delay, 1, frames);
        std::vector<float> line(delay, 0.0f);
        size_t head = 0;
        for (int pass = 0; pass < 2; ++pass)
            for (size_t i = 0; i < frames; ++i) {
                float delayed = line[head];
                float in = dry[i * 2 + ch];
                line[head] = in + delayed * static_cast<float>(score.echoFeedback);
                head = (head + 1) % delay;
                if (pass == 1) loop[i * 2 + ch] = in + delayed * static_cast<float>(score.echoMix);
            }
    }
}

}  // namespace

std::vector<float> renderScore(const Score& score) {
    const double step = score.stepSeconds();
    const size_t frames = static_cast<size_t>(std::llround(score.totalSteps() * step * score.rate));
    std::vector<float> loop(frames * 2, 0.0f);
    int offset = 0;
    for (const std::string& name : score.song) {
        const Section& section = score.sections.at(name);
        for (const Note& note : section.notes)
            renderNote(score.instruments[static_cast<size_t>(note.instrument)], note, (offset + note.start) * step, step,
                       score.rate, loop);
        offset += section.steps;
    }
    applyEcho(score, loop);
    normalize(loop, 0.8);
    return loop;
}

}  // namespace media
