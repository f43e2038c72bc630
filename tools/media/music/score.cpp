// Reading the music source.
#include "score.h"

#include "../common/media_error.h"
#include "../common/text_source.h"

namespace media {
namespace {

constexpr int kStepsPerBar = 16;

Instrument readInstrument(const SourceLine& line) {
    Instrument in;
    in.name = line.token(1, "instrument name");
    for (size_t i = 2; i < line.tokens.size(); ++i) {
        const std::string& key = line.tokens[i];
        auto value = [&](double lo, double hi) { return numberInRange(line, line.token(++i, "value"), lo, hi); };
        if (key == "wave") {
            if (!parseWave(line.token(++i, "wave"), in.wave)) line.fail("unknown wave '" + line.tokens[i] + "'");
        } else if (key == "attack") in.env.attack = value(0, 10);
        else if (key == "hold") in.env.hold = value(0, 10);
        else if (key == "release") in.env.release = value(0, 10);
        else if (key == "amp") in.amp = value(0, 2);
        else if (key == "lowpass") in.lowpass = value(10, 20000);
        else if (key == "detune") in.detune = value(0, 100);
        else if (key == "voices") in.voices = static_cast<int>(value(1, 8));
        else if (key == "fm") {
            in.fmRatio = value(0, 32);
            in.fmIndex = value(0, 32);
        } else if (key == "vibrato") {
            in.vibratoRate = value(0, 40);
            in.vibratoDepth = value(0, 12);
        } else if (key == "pan") in.pan = value(-1, 1);
        else if (key == "drop") in.drop = value(-48, 48);
        else if (key == "seed") in.seed = static_cast<uint64_t>(value(0, 1e15));
        else line.fail("unknown instrument key '" + key + "'");
    }
    return in;
}

// Appends the notes of one line to its instrument's place in the section.
void readNotes(const SourceLine& line, int instrument, Section& section, std::map<int, int>& position) {
    int& pos = position[instrument];
    for (size_t i = 1; i < line.tokens.size(); ++i) {
        const std::string& tok = line.tokens[i];
        if (tok == "|") {
            if (pos % kStepsPerBar != 0)
                line.fail("bar line " + std::to_string(pos % kStepsPerBar) + " steps into a bar");
            continue;
        }
        size_t colon = tok.find(':');
        if (colon == std::string::npos) line.fail("a note is <pitch>:<steps>, got '" + tok + "'");
        Note note;
        note.instrument = instrument;
        note.start = pos;
        note.length = static_cast<int>(numberInRange(line, tok.substr(colon + 1), 1, 256));
        std::string pitch = tok.substr(0, colon);
        if (pitch != "-") {
            size_t from = 0;
            for (;;) {
                size_t plus = pitch.find('+', from);
                double semis;
                if (!parseNote(pitch.substr(from, plus - from), semis)) line.fail("bad pitch in '" + tok + "'");
                note.pitches.push_back(semis);
                if (plus == std::string::npos) break;
                from = plus + 1;
            }
        }
        pos += note.length;
        if (!note.pitches.empty()) section.notes.push_back(note);
    }
}

}  // namespace

int Score::totalSteps() const {
    int total = 0;
    for (const std::string& name : song) total += sections.at(name).steps;
    return total;
}

Score readScore(const std::string& path) {
    Score score;
    bool headed = false;
    Section* open = nullptr;
    std::map<int, int> position;
    const SourceLine* openLine = nullptr;
    std::vector<SourceLine> lines = readSourceFile(path);
    auto findInstrument = [&](const std::string& name) {
        for (size_t i = 0; i < score.instruments.size(); ++i)
            if (score.instruments[i].name == name) return static_cast<int>(i);
        return -1;
    };
    for (const SourceLine& line : lines) {
        if (line.tokens.empty()) continue;
        const std::string& word = line.tokens[0];
        if (open) {
            if (word == "end") {
                int steps = -1;
                for (auto [instrument, pos] : position) {
                    if (steps >= 0 && pos != steps)
                        line.fail("section '" + open->name + "': " + score.instruments[instrument].name + " spans " +
                                  std::to_string(pos) + " steps, others " + std::to_string(steps));
                    steps = pos;
                }
                if (steps <= 0) line.fail("empty section");
                open->steps = steps;
                open = nullptr;
                continue;
            }
            int instrument = findInstrument(word);
            if (instrument < 0) line.fail("unknown instrument '" + word + "'");
            readNotes(line, instrument, *open, position);
            continue;
        }
        if (word == "music") {
            score.file = line.token(1, "file name");
            if (!isPlainFileName(score.file, ".ogg")) line.fail("the music is a plain file name ending in .ogg");
            for (size_t i = 2; i < line.tokens.size(); i += 2) {
                const std::string& key = line.tokens[i];
                const std::string& value = line.token(i + 1, "value");
                if (key == "rate") score.rate = sampleRateOption(line, value);
                else if (key == "tempo") score.tempo = numberInRange(line, value, 30, 300);
                else if (key == "quality") score.quality = numberInRange(line, value, -0.1, 1);
                else line.fail("unknown music option '" + key + "'");
            }
            headed = true;
        } else if (word == "instrument") {
            Instrument in = readInstrument(line);
            if (findInstrument(in.name) >= 0) line.fail("instrument '" + in.name + "' defined twice");
            score.instruments.push_back(in);
        } else if (word == "echo") {
            score.echoDelay = numberInRange(line, line.token(1, "delay"), 0.01, 2);
            score.echoFeedback = numberInRange(line, line.token(2, "feedback"), 0, 0.9);
            score.echoMix = numberInRange(line, line.token(3, "mix"), 0, 1);
        } else if (word == "section") {
            const std::string& name = line.token(1, "section name");
            if (score.sections.count(name)) line.fail("section '" + name + "' defined twice");
            open = &score.sections[name];
            open->name = name;
            openLine = &line;
            position.clear();
        } else if (word == "song") {
            for (size_t i = 1; i < line.tokens.size(); ++i) {
                if (!score.sections.count(line.tokens[i])) line.fail("unknown section '" + line.tokens[i] + "'");
                score.song.push_back(line.tokens[i]);
            }
        } else {
            line.fail("unknown directive '" + word + "'");
        }
    }
    if (open) openLine->fail("section without 'end'");
    if (!headed) throw MediaError(path + ": no 'music' line");
    if (score.song.empty()) throw MediaError(path + ": no 'song' line");
    return score;
}

}  // namespace media
