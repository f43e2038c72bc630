// The generators' source languages: expressions, drawing, sounds and
// scores, with the exact pixels and samples they make, and the
// "file:line: message" with which a bad source stops the build.
#include <gtest/gtest.h>

#include "common/expr.h"
#include "common/media_error.h"
#include "common/synth.h"
#include "file_bytes.h"
#include "generator_run.h"
#include "music/score.h"
#include "pixels/art_script.h"
#include "pixels/canvas.h"
#include "png_reader.h"
#include "sfx/sound_patch.h"
#include "temp_dir.h"
#include "wav_reader.h"

using media::MediaError;
using mediatest::runGenerator;
using testsupport::TempDir;
using testsupport::writeFileBytes;

namespace {

const char* kPalette = "k outline #0c1028\nw white #ffffff\nr red #ff0000\n";

// Writes an art source (with a small palette beside it) and runs the
// pixel generator on it into the same folder.
mediatest::RunResult drawArt(const TempDir& dir, const std::string& source) {
    writeFileBytes(dir.file("palette.txt"), kPalette);
    writeFileBytes(dir.file("art.txt"), "palette palette.txt\n" + source);
    return runGenerator(mediatest::pixelsProgram(), {dir.file("art.txt"), dir.path()});
}

}  // namespace

TEST(MediaExpressions, EvaluateWithFrameVariables) {
    media::Variables v{{"f", 3}, {"W", 16}};
    EXPECT_DOUBLE_EQ(56, media::evaluate("f*18+2", v));
    EXPECT_DOUBLE_EQ(1, media::evaluate("7%3", v));
    EXPECT_DOUBLE_EQ(2, media::evaluate("-7%3", v)) << "the remainder is never negative";
    EXPECT_DOUBLE_EQ(8, media::evaluate("W/2", v));
    EXPECT_NEAR(1, media::evaluate("sin(90)", v), 1e-12);
    EXPECT_NEAR(-1, media::evaluate("cos(180)", v), 1e-12);
    EXPECT_DOUBLE_EQ(4, media::evaluate("max(min(4,9),-2)", v));
    EXPECT_DOUBLE_EQ(-3, media::evaluate("-(1+2)", v));
    EXPECT_EQ("fin1", media::substitute("fin{f%2}", v));
    EXPECT_EQ("0.25 and 48", media::substitute("{1/4} and {W*3}", v));
    EXPECT_EQ("-2", media::formatNumber(-2.0000000001));
}

TEST(MediaExpressions, RejectBadExpressions) {
    media::Variables v{{"f", 0}};
    for (const char* bad : {"1/0", "5%0", "g+1", "2*", "(1+2", "sqrt(-1)", "min(1)", "sin(1,2)", "nosuch(1)", "1 2"})
        EXPECT_THROW(media::evaluate(bad, v), MediaError) << bad;
    EXPECT_THROW(media::substitute("a{f", v), MediaError);
    EXPECT_THROW(media::substitute("a}f", v), MediaError);
}

TEST(MediaCanvas, GradientsOutlinesAndTurnsGiveExactPixels) {
    const media::Rgba a{10, 0, 0, 255}, b{20, 0, 0, 255}, k{0, 0, 1, 255};
    media::Paint down({a, b}, media::Paint::Direction::Vertical);
    EXPECT_EQ(a, down.at(0, 0, 0, 0, 3, 7)) << "the first row is the first colour";
    EXPECT_EQ(b, down.at(0, 7, 0, 0, 3, 7)) << "the last row is the last colour";

    media::Canvas c(5, 5);
    c.set(2, 2, a);
    media::outline(c, media::Paint(k), false);
    EXPECT_EQ(k, c.get(1, 2));
    EXPECT_EQ(k, c.get(3, 2));
    EXPECT_EQ(k, c.get(2, 1));
    EXPECT_EQ(k, c.get(2, 3));
    EXPECT_TRUE(c.get(1, 1).transparent()) << "no diagonals without 'diag'";

    media::Canvas t(3, 3);
    t.set(0, 0, a);
    media::rotate(t);
    EXPECT_EQ(a, t.get(2, 0)) << "a quarter turn clockwise takes the top left to the top right";

    media::Canvas rock(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) rock.set(x, y, a);
    media::bevel(rock, b, k);
    EXPECT_EQ(a, rock.get(0, 0)) << "edges that run off the frame get no rim";
}

TEST(MediaPixels, DrawsTheExactPixelsOfASmallSheet) {
    TempDir dir;
    auto r = drawArt(dir,
                     "map dot\n.r.\nrwr\n.r.\nend\n"
                     "sheet t.png 4 4 frames 3 columns 2\n"
                     "frames 0-1\n  rect {f} 0 1 1 w\nend\n"
                     "frames 2\n  blit dot 0 0\n  outline k\nend\n");
    ASSERT_EQ(0, r.exitStatus) << r.err;
    mediatest::RgbaImage im;
    std::string error;
    ASSERT_TRUE(mediatest::readPng(dir.file("t.png"), im, error)) << error;
    ASSERT_EQ(8, im.width);
    ASSERT_EQ(8, im.height);
    EXPECT_EQ(255, im.at(0, 0)[0]);  // frame 0: white at (0, 0)
    EXPECT_EQ(0, im.alpha(1, 0));
    EXPECT_EQ(255, im.alpha(4 + 1, 0));  // frame 1: white at (1, 0)
    EXPECT_EQ(0, im.alpha(4, 0));
    const uint8_t* centre = im.at(1, 4 + 1);  // frame 2, second row
    EXPECT_EQ(255, centre[1]) << "white in the middle of the map";
    const uint8_t* edge = im.at(0, 4);        // beside the red: the outline
    EXPECT_EQ(0x0c, edge[0]);
    EXPECT_EQ(0x28, edge[2]);
    EXPECT_EQ(0, im.alpha(3, 7)) << "the fourth frame slot stays clear";
}

TEST(MediaPixels, ABadSourceStopsWithItsFileAndLine) {
    const struct { std::string source; const char* line; const char* message; } cases[] = {
        {"map m\n.q.\nend\n", "art.txt:3:", "colour 'q' is not in the palette"},
        {"map m\n.r.\nrr\nend\n", "art.txt:4:", "map rows differ in width"},
        {"sheet a.png 4 4\nframes 0\n  wobble 1\nend\n", "art.txt:4:", "unknown command 'wobble'"},
        {"sheet a.png 4 4 frames 2\nframes 1-2\nend\n", "art.txt:3:", "outside the sheet's 2"},
        {"sheet a.png 4 4\nframes 0\n  rect 0 0 1 1 w\n", "art.txt:3:", "block without 'end'"},
        {"sheet a.png 5000 4\n", "art.txt:2:", "larger than 4096"},
        {"sheet a.png 4 4\nframes 0\n  rect {1/0} 0 1 1 w\nend\n", "art.txt:4:", "division by zero"},
        {"sheet a.png 4 4\nframes 0\n  rect 0 0 1 1 nosuch\nend\n", "art.txt:4:", "unknown colour 'nosuch'"},
        {"sheet a.png 4 4\nframes 0\n  sprite b.png 0 0 0\nend\n", "art.txt:4:", "no sheet 'b.png'"},
        {"font f 3 1\nglyph A\n#\n#\nend\n", "art.txt:3:", "glyph has 2 rows, the font 3"},
        {"sheet a.png 4 4\nframes 0\n  text nofont 0 0 w \"A\"\nend\n", "art.txt:4:", "unknown font 'nofont'"},
        {"include b.txt\n", "b.txt:1:", "nested too deeply"},
        {"sheet ../a.png 4 4\n", "art.txt:2:", "plain file name"},
        {"end\n", "art.txt:2:", "'end' without a block"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        writeFileBytes(dir.file("b.txt"), "include b.txt\n");  // a file that includes itself
        auto r = drawArt(dir, c.source);
        EXPECT_EQ(1, r.exitStatus) << c.source;
        EXPECT_NE(std::string::npos, r.err.find(c.line)) << r.err;
        EXPECT_NE(std::string::npos, r.err.find(c.message)) << r.err;
    }
}

TEST(MediaPixels, MissingSourcesAndWrongArgumentsFail) {
    TempDir dir;
    auto r = runGenerator(mediatest::pixelsProgram(), {dir.file("none.txt"), dir.path()});
    EXPECT_EQ(1, r.exitStatus);
    EXPECT_NE(std::string::npos, r.err.find("cannot read the file"));
    EXPECT_EQ(2, runGenerator(mediatest::pixelsProgram(), {}).exitStatus);
    EXPECT_EQ(2, runGenerator(mediatest::sfxProgram(), {"a"}).exitStatus);
    EXPECT_EQ(2, runGenerator(mediatest::musicProgram(), {"a", "b", "c"}).exitStatus);
}

TEST(MediaSfx, RendersAToneOfTheStatedLengthAndPeak) {
    TempDir dir;
    writeFileBytes(dir.file("s.txt"),
                   "sound a.wav rate 22050 length 0.1 peak 0.5\n  layer sine freq 441 attack 0 hold 0.1 release 0\nend\n");
    auto r = runGenerator(mediatest::sfxProgram(), {dir.file("s.txt"), dir.path()});
    ASSERT_EQ(0, r.exitStatus) << r.err;
    mediatest::WavData wav;
    std::string error;
    ASSERT_TRUE(mediatest::readWav(dir.file("a.wav"), wav, error)) << error;
    ASSERT_EQ(2205u, wav.samples.size());  // samples 1000 and 1050 are read below
    int peak = 0;
    for (int16_t s : wav.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_NEAR(16384, peak, 40);
    // 441 Hz at 22050 Hz: a period of 50 samples (away from the fades)
    EXPECT_NEAR(wav.samples[1000], wav.samples[1050], 40);
}

TEST(MediaSfx, ABadSoundSourceStopsWithItsLine) {
    const struct { std::string source; const char* message; } cases[] = {
        {"sound a.wav rate 8000\n  layer sine\nend\n", "s.txt:1: the rate is 22050 or 44100"},
        {"sound a.wav\n  layer sine wobble 3\nend\n", "s.txt:2: unknown layer key 'wobble'"},
        {"sound a.wav\n  layer hum\nend\n", "s.txt:2: unknown wave 'hum'"},
        {"sound a.wav\n  layer sine amp 9\nend\n", "s.txt:2: '9' outside"},
        {"sound a.wav\nend\n", "s.txt:2: a sound needs at least one layer"},
        {"sound a.wav\n  layer sine\n", "the last sound block has no 'end'"},
        {"layer sine\n", "s.txt:1: 'layer' outside a sound block"},
        {"sound a.mp3\n", "s.txt:1: a sound is a plain file name ending in .wav"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        writeFileBytes(dir.file("s.txt"), c.source);
        auto r = runGenerator(mediatest::sfxProgram(), {dir.file("s.txt"), dir.path()});
        EXPECT_EQ(1, r.exitStatus) << c.source;
        EXPECT_NE(std::string::npos, r.err.find(c.message)) << r.err;
        EXPECT_FALSE(testsupport::fileExists(dir.file("a.wav")));
    }
}

TEST(MediaNotes, NamesGiveSemitonesFromA4) {
    double s = 99;
    EXPECT_TRUE(media::parseNote("A4", s));
    EXPECT_EQ(0, s);
    EXPECT_TRUE(media::parseNote("C4", s));
    EXPECT_EQ(-9, s);
    EXPECT_TRUE(media::parseNote("C#3", s));
    EXPECT_EQ(-20, s);
    EXPECT_TRUE(media::parseNote("Bb2", s));
    EXPECT_EQ(-23, s);
    EXPECT_NEAR(880.0, media::noteFrequency(12), 1e-9);
    for (const char* bad : {"H4", "A", "A10", "#4", "Ax4", ""}) EXPECT_FALSE(media::parseNote(bad, s)) << bad;
}

TEST(MediaMusicScore, ReadsSectionsAndRendersExactlyOneLoop) {
    TempDir dir;
    writeFileBytes(dir.file("m.txt"),
                   "music t.ogg rate 22050 tempo 120\n"
                   "instrument a wave sine release 0.5\n"
                   "section s\n  a A4:8 -:8 | C5+E5:16\nend\n"
                   "song s s\n");
    media::Score score = media::readScore(dir.file("m.txt"));
    EXPECT_EQ(32, score.sections.at("s").steps);
    ASSERT_EQ(2u, score.sections.at("s").notes.size());
    EXPECT_EQ(16, score.sections.at("s").notes[1].start);
    EXPECT_EQ(64, score.totalSteps());
    // 64 sixteenths at 120 beats a minute: 8 seconds, stereo
    std::vector<float> loop = media::renderScore(score);
    EXPECT_EQ(8u * 22050u * 2u, loop.size());
}

TEST(MediaMusicScore, ABadScoreStopsWithItsLine) {
    const struct { std::string body; const char* message; } cases[] = {
        {"section s\n  a A4:3 | A4:13\nend\nsong s\n", "m.txt:5: bar line 3 steps into a bar"},
        {"section s\n  a A4:16\n  b A4:8\nend\nsong s\n", "m.txt:7: section 's': b spans 8 steps, others 16"},
        {"section s\n  z A4:16\nend\nsong s\n", "m.txt:5: unknown instrument 'z'"},
        {"section s\n  a H4:16\nend\nsong s\n", "m.txt:5: bad pitch in 'H4:16'"},
        {"section s\n  a A4:16\nend\nsong s t\n", "m.txt:7: unknown section 't'"},
        {"section s\n  a A4:16\n", "m.txt:4: section without 'end'"},
        {"section s\n  a A4:16\nend\n", "no 'song' line"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        writeFileBytes(dir.file("m.txt"), "music t.ogg\ninstrument a wave sine\ninstrument b wave saw\n" + c.body);
        auto r = runGenerator(mediatest::musicProgram(), {dir.file("m.txt"), dir.path()});
        EXPECT_EQ(1, r.exitStatus) << c.body;
        EXPECT_NE(std::string::npos, r.err.find(c.message)) << r.err;
        EXPECT_FALSE(testsupport::fileExists(dir.file("t.ogg")));
    }
}
