// The progress and settings file.
//
// Departures, each where the plain rules ended the game over a damaged or
// unwritable file: a file of fewer than four lines keeps the values of the
// missing lines (a read past the end ended the program at every start); a
// line that is not a number keeps its setting's value too (read as 0, a
// damaged volume line silenced the music and the next save wrote 0/0/0/0);
// the values read are held to their ranges (a saved level or margin out of range
// ended the program later, at a grid or table access); and the save is a
// whole-file save (runtime/files/file_replacement.h), so that a file that
// cannot be made or written goes to the error log, with its whole path and
// the system's reason, instead of ending the game, and a failed or
// interrupted save leaves the old progress whole (written in place through
// a channel, it left a truncated file). A file that another instance is
// saving is waited for, and one that still cannot be read is not saved over
// in that run: read as missing, it had the next save write level 1 over 25.
// And the level editor's session keeps the progress out of its reach: the editor
// moves LEVEL anywhere from 0 to 99, and the next save made it the player's
// progress (a test run's ending saved level 0 over it). So does the options
// screen, whose save (SaveSettings) keeps the level line the file holds:
// LEVEL there is the level last played, and after a NEW GAME left at level
// 0 the options saved 0 over the level reached.
// And where the documents folder is unknown the file lies beside the program:
// "NO_DATA", the answer for an unknown folder, made the path
// "NO_DATAShoalrunner.cfg", a file named so in whatever the working folder
// was (the Media folder by then).
// Depends on the file channels (reading, which wait for a busy file), the
// whole-file save (writing), the error log and the platform's program
// folder.
#include "game/world/config_file.h"

#include <string>

#include "game/world/game_state.h"
#include "platform/system_info.h"
#include "runtime/files/error_log.h"
#include "runtime/files/file_channels.h"
#include "runtime/files/file_paths.h"
#include "runtime/files/file_replacement.h"
#include "runtime/files/file_system.h"
#include "runtime/files/log_text.h"
#include "runtime/services/mathematics.h"
#include "runtime/strings/number_format.h"

namespace {
constexpr const char* kConfigName = "Shoalrunner.cfg";
constexpr const char* kUnknownFolder = "NO_DATA";  // the platform information's answer
constexpr uint32_t kConfigChannel = 1;
constexpr int32_t kMaxOverscan = 50;

// This run found the file there but could not read it: its values are not
// the file's, so it saves nothing over the file until a load reads it.
bool unreadFile = false;

bool editorSessionOpen = false;
int32_t levelKeptAside = 0;  // the player's level while the editor's session is open

// True when the text, blanks around it aside, is one decimal number: an
// optional sign, digits with an optional point (a digit on at least one
// side of it), and an optional exponent of "e" or "E", a sign and digits.
// Text, "NaN", "inf", hexadecimal and an empty line are not numbers.
bool isDecimalNumber(const char* text) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const char* p = text;
    while (rtstring::isBlankByte(static_cast<unsigned char>(*p))) ++p;
    if (*p == '+' || *p == '-') ++p;
    bool digits = false;
    for (; isDigit(*p); ++p) digits = true;
    if (*p == '.') {
        for (++p; isDigit(*p); ++p) digits = true;
    }
    if (!digits) return false;
    if (*p == 'e' || *p == 'E') {
        ++p;
        if (*p == '+' || *p == '-') ++p;
        if (!isDigit(*p)) return false;
        while (isDigit(*p)) ++p;
    }
    while (rtstring::isBlankByte(static_cast<unsigned char>(*p))) ++p;
    return *p == '\0';
}

// The next line's number; false at the end of the file or when the line is
// not a number (the line ends at its first NUL byte, as every text does).
bool readNumberLine(double& value) {
    if (EndOfFile(kConfigChannel)) return false;
    RtString line;
    ReadLineFromFile(kConfigChannel, line);
    if (!isDecimalNumber(line.data)) return false;
    value = line.toDouble();  // beyond the doubles' range an infinity, held below
    return true;
}

// A whole setting from the next line, cut toward zero, or `kept` when the
// line holds no number; either held to low..high.
int32_t readIntLine(int32_t kept, int32_t low, int32_t high) {
    double value = kept;
    readNumberLine(value);
    return value <= low ? low : value >= high ? high : truncateToInt32(value);
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

// Opens the file on the channel for reading: true when it is open, false
// when there is none. A file that is there but busy (another instance is
// writing it in place and holds it alone) is waited for by the open, about
// 1 s at most. Who pays when that bound fills: only this run, which says so
// in the error log and saves nothing over the file it could not read.
bool openProgressFile() {
    if (!FileExists(CONFIG_FILE)) return false;
    if (OpenFile(kConfigChannel, CONFIG_FILE, 1)) return true;
    unreadFile = true;
    appendToErrorLog(("Progress file: cannot read " + files::pathForMessages(CONFIG_FILE.data) +
                      " (busy or not readable); it is not saved over in this run\n")
                         .c_str());
    return false;
}

// The level reached as the file holds it, read as LoadConfig reads it;
// `fallback` when there is no file.
int32_t levelInFile(int32_t fallback) {
    if (!openProgressFile()) return fallback;
    const int32_t level = readIntLine(fallback, 0, kLastLevel);
    CloseFile(kConfigChannel);
    return level;
}

void saveLines(int32_t level) {
    if (editorSessionOpen || unreadFile) return;
    const RtString text = configText(level);
    files::saveWholeFile(CONFIG_FILE.data, text.data, text.length, "SaveConfig");  // a failure is logged
}
}  // namespace

RtString configFilePath(const RtString& documents) {
    if (!documents.isEmpty() && !documents.equals(kUnknownFolder)) return documents + kConfigName;
    const std::string folder = platform::executableFolder();
    // Without even the program's folder, the working folder's file.
    const std::string separator = !folder.empty() && folder.back() != '/' ? "/" : "";  // "/" is a folder too
    const RtString path((folder + separator + kConfigName).c_str());
    appendToErrorLog(("Progress file: no documents folder; kept beside the program as " +
                      files::escapeForLog(path.data) + "\n").c_str());
    return path;
}

double LoadConfig() {
    if (openProgressFile()) {
        unreadFile = false;
        LEVEL = readIntLine(LEVEL, 0, kLastLevel);
        OVERSCAN_H = readIntLine(OVERSCAN_H, 0, kMaxOverscan);
        OVERSCAN_V = readIntLine(OVERSCAN_V, 0, kMaxOverscan);
        double volume = 0.0;
        if (readNumberLine(volume)) MUSIC_VOLUME = volume <= 0.0 ? 0.0 : volume > 1.0 ? 1.0 : volume;  // "-0" too
        CloseFile(kConfigChannel);
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
