// The music generator's source: instruments, sections of notes, and the
// order of the sections. A step is a sixteenth note; a bar is 16 steps.
//
//   music <file.ogg> rate <22050|44100> tempo <beats a minute> quality <-0.1..1>
//   instrument <name> wave <sine|square|saw|triangle|noise> [attack a] [hold h]
//       [release r] [amp a] [lowpass f] [detune cents] [voices n]
//       [fm ratio index] [vibrato rate semitones] [pan -1..1] [drop semitones] [seed n]
//   echo <delay seconds> <feedback> <mix>
//   section <name>
//     <instrument> <note> <note> ...    (several lines of one instrument join)
//   end
//   song <section> <section> ...
//
// A note is "A4:4" (a pitch and its length in steps), "A3+C4+E4:16" (a
// chord), or "-:4" (a rest); "|" marks a bar line and must fall on a whole
// bar. Every instrument of a section spans the same number of steps.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "../common/synth.h"

namespace media {

struct Instrument {
    std::string name;
    Wave wave = Wave::Sine;
    Envelope env;
    double amp = 0.2, lowpass = 0, detune = 0, fmRatio = 0, fmIndex = 0;
    double vibratoRate = 0, vibratoDepth = 0, pan = 0, drop = 0;
    int voices = 1;
    uint64_t seed = 1;
};

struct Note {
    int instrument = 0;             // index into Score::instruments
    int start = 0, length = 0;      // steps from the start of the section
    std::vector<double> pitches;    // semitones from A4; empty for a rest
};

struct Section {
    std::string name;
    int steps = 0;
    std::vector<Note> notes;
};

struct Score {
    std::string file;
    uint32_t rate = 44100;
    double tempo = 96;
    double quality = 0.4;
    double echoDelay = 0, echoFeedback = 0, echoMix = 0;
    std::vector<Instrument> instruments;
    std::map<std::string, Section> sections;
    std::vector<std::string> song;

    double stepSeconds() const { return 60.0 / tempo / 4.0; }
    int totalSteps() const;
};

// Throws MediaError naming the line.
Score readScore(const std::string& path);

// Renders the song as interleaved stereo samples, exactly one loop long:
// notes and echoes that ring past the end come round to the start, so the
// tune loops without a seam.
std::vector<float> renderScore(const Score& score);

}  // namespace media
