// What the game's Media folder holds: every picture with its sprite number,
// frame size, frame count and sheet size, every sound and the music. One
// table for every test that checks the media, whether it reads the files
// with libpng here or through the runtime's own loaders.
#pragma once
#include <cstdlib>
#include <string>

namespace mediatable {

struct ImageSpec {
    const char* file;
    int sprite;          // the sprite number the game loads it into; -1 for the start-up font
    int frameW, frameH;  // 0, 0 for a whole picture
    int frames;          // frames the game draws from (1 for a whole picture)
    int width, height;   // the PNG's size
    bool transparent;    // holds fully transparent pixels
};

// In the game's load order, the start-up font last.
inline constexpr ImageSpec kImages[] = {
    {"tiles.png", 1, 16, 16, 60, 960, 16, true},
    {"water2.png", 550, 0, 0, 1, 512, 256, false},
    {"title.png", 3, 0, 0, 1, 140, 70, true},
    {"bubbles.png", 4, 5, 5, 8, 40, 5, true},
    {"copyright.png", 8, 60, 9, 2, 60, 18, true},
    {"diver2.png", 5, 16, 16, 16, 256, 16, true},
    {"aura.png", 6, 16, 16, 4, 64, 16, true},
    {"fin4.png", 7, 0, 0, 1, 240, 160, true},
    {"fin.png", 9, 0, 0, 1, 160, 100, true},
    {"starfish2.png", 10, 16, 16, 8, 128, 16, true},
    {"fish.png", 15, 16, 16, 4, 64, 16, true},
    {"gem.png", 20, 16, 16, 6, 96, 16, true},
    {"sponge.png", 25, 16, 16, 4, 64, 16, true},
    {"octo.png", 30, 16, 16, 4, 64, 16, true},
    {"angler2.png", 35, 16, 16, 8, 128, 16, true},
    {"crab.png", 40, 16, 16, 4, 64, 16, true},
    {"explode2.png", 45, 16, 16, 20, 64, 80, true},
    {"mine2.png", 50, 16, 16, 5, 80, 16, true},
    {"pop.png", 60, 16, 16, 8, 128, 16, true},
    {"oyster.png", 70, 16, 32, 8, 128, 32, true},
    {"pearl.png", 80, 16, 16, 13, 208, 16, true},
    {"sub.png", 90, 0, 0, 1, 92, 42, true},
    {"explode.png", 95, 13, 14, 5, 65, 14, true},
    {"speech.png", 97, 9, 12, 11, 99, 12, true},
    {"plunger.png", 98, 0, 0, 1, 64, 9, true},
    {"quote.png", 99, 85, 55, 3, 85, 165, true},
    {"blood.png", 120, 16, 16, 13, 208, 16, true},
    {"arrows.png", 800, 48, 48, 8, 192, 96, true},
    {"retry.png", 801, 0, 0, 1, 64, 24, true},
    {"shark1.png", 100, 60, 33, 8, 240, 66, true},
    {"font.png", 1000, 7, 12, 95, 112, 72, true},
    {"quit.png", 91, 85, 36, 1, 85, 36, true},
    {"weed.png", 130, 16, 16, 4, 64, 16, true},
    {"controller.png", 875, 0, 0, 1, 240, 160, true},
    {"photo.png", 877, 248, 168, 8, 992, 336, false},
    {"smalfont.png", -1, 8, 8, 256, 128, 128, true},
};

struct SoundSpec {
    const char* file;
    int id;               // the sound number the game plays it by
    double minSeconds, maxSeconds;
};

// In the order the game registers them.
inline constexpr SoundSpec kSounds[] = {
    {"move.wav", 0, 0.1, 0.5},     {"tinkle01.wav", 1, 0.2, 1.0}, {"pop.wav", 2, 0.1, 0.5},
    {"boom2.wav", 3, 0.8, 2.0},    {"drag4.wav", 4, 0.2, 1.0},    {"boulder.wav", 5, 0.2, 1.0},
    {"creak.wav", 6, 0.3, 1.5},    {"reel.wav", 7, 0.8, 2.0},     {"tinkle02.wav", 8, 0.3, 1.5},
    {"till.wav", 9, 0.5, 1.5},
};
inline constexpr int kSoundRate = 22050;
inline constexpr int kSoundChannels = 1;
inline constexpr int kSoundBits = 16;

inline constexpr const char* kMusicFile = "shoalrunner.ogg";
inline constexpr int kMusicRate = 44100;
inline constexpr int kMusicChannels = 2;
inline constexpr double kMusicSeconds = 65.0;  // 26 bars of 2.5 seconds

// The Media folder of the build under test (set by the test runner).
inline std::string mediaDir() {
    const char* dir = std::getenv("VANTRIC_MEDIA_DIR");
    return dir ? dir : "";
}
inline std::string mediaFile(const std::string& name) { return mediaDir() + "/" + name; }

}  // namespace mediatable
