// The progress and settings file.
//
// Departures, each where the plain rules ended the game over a damaged or
// unwritable file: a file of fewer than four lines keeps the values of the
// missing lines (a read past the end ended the program at every start); the
// values read are held to their ranges (a saved level or margin out of range
// ended the program later, at a grid or table access); and the save writes
// the whole file beside the old one and renames it over (runtime/files/
// file_replacement.h), so that a file that cannot be made or written goes
// to the error log, with its whole path and the system's reason, instead of
// ending the game, and a failed or interrupted save leaves the
// old progress whole (written in place, it left a truncated file). And the
// level editor's session keeps the progress out of its reach: the editor
// moves LEVEL anywhere from 0 to 99, and the next save made it the player's
// progress (a test run's ending saved level 0 over it). So does the options
// screen, whose save (SaveSettings) keeps the level line the file holds:
// LEVEL there is the level last played, and after a NEW GAME left at level
// 0 the options saved 0 over the level reached.
// Depends on the file channels (reading) and the whole-file save (writing).
#include "game/world/config_file.h"

#include <cmath>

#include "game/world/game_state.h"
#include "runtime/files/file_channels.h"
#include "runtime/files/file_replacement.h"
#include "runtime/files/file_system.h"

namespace {
constexpr uint32_t kConfigChannel = 1;
constexpr int32_t kMaxOverscan = 50;

bool editorSessionOpen = false;
int32_t levelKeptAside = 0;  // the player's level while the editor's session is open

int32_t heldBetween(int32_t value, int32_t low, int32_t high) {
    return value < low ? low : value > high ? high : value;
}

void readIntLine(int32_t& target) {
    if (EndOfFile(kConfigChannel)) return;
    int32_t value = 0;
    ReadLineAsInt(kConfigChannel, value);
    target = value;
}

// The four lines as the file holds them, with `level` on the first.
RtString configText(int32_t level) {
    RtString text;
    text += level;
    text += "\r\n";
    text += OVERSCAN_H;
    text += "\r\n";
    text += OVERSCAN_V;
    text += "\r\n";
    text += RtString(MUSIC_VOLUME);
    text += "\r\n";
    return text;
}

// The level reached as the file holds it, read as LoadConfig reads it;
// `fallback` when there is no file or no first line.
int32_t levelInFile(int32_t fallback) {
    int32_t level = fallback;
    if (FileExists(CONFIG_FILE) && OpenFile(kConfigChannel, CONFIG_FILE, 1)) {
        readIntLine(level);
        CloseFile(kConfigChannel);
        level = heldBetween(level, 0, kLastLevel);
    }
    return level;
}

void saveLines(int32_t level) {
    if (editorSessionOpen) return;
    const RtString text = configText(level);
    files::saveWholeFile(CONFIG_FILE.data, text.data, text.length, "SaveConfig");  // a failure is logged
}
}  // namespace

double LoadConfig() {
    if (FileExists(CONFIG_FILE) && OpenFile(kConfigChannel, CONFIG_FILE, 1)) {
        readIntLine(LEVEL);
        readIntLine(OVERSCAN_H);
        readIntLine(OVERSCAN_V);
        if (!EndOfFile(kConfigChannel)) {
            double volume = 0.0;
            ReadLineAsFloat(kConfigChannel, volume);
            if (!std::isnan(volume)) MUSIC_VOLUME = volume < 0.0 ? 0.0 : volume > 1.0 ? 1.0 : volume;
        }
        CloseFile(kConfigChannel);
        LEVEL = heldBetween(LEVEL, 0, kLastLevel);
        OVERSCAN_H = heldBetween(OVERSCAN_H, 0, kMaxOverscan);
        OVERSCAN_V = heldBetween(OVERSCAN_V, 0, kMaxOverscan);
    }
    PLAY_MODE = 1;
    return 0.0;
}

double SaveConfig() {
    saveLines(LEVEL);
    return 0.0;
}

double SaveSettings() {
    saveLines(levelInFile(LEVEL));
    return 0.0;
}

void OpenEditorSession() {
    if (editorSessionOpen) return;
    editorSessionOpen = true;
    levelKeptAside = LEVEL;
}

void CloseEditorSession() {
    if (!editorSessionOpen) return;
    editorSessionOpen = false;
    LEVEL = levelKeptAside;
}
