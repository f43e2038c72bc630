// The level loader and writer, ClearLevel, the grid reset and the converter
// of older level files. The object pass that turns spawn codes into records
// is in level_objects.cpp.
//
// Departures, each closing a way in which one level's state leaked into the
// next: a load also empties the blood, flying gem, reel and explosion arrays
// (a reel left over would run the level-0 story in another level, a flying
// gem can live for ever) and stops the quake and the step clock (a quake
// that outlived its level opened column 14 of the next one; a clock left
// running by a diver who died mid-step moved the new level's creatures off
// their cells), and it forgets the diver's hiding in weed (a diver caught
// in weed left IN_WEED at 1: the first step of the new attempt froze the
// fish and anglers and ended with LEFT_WEED 1, on which every octopus hopped
// its last heading without choosing). The converter skips a missing old
// file instead of writing the previous level's map under its number.
//
// Departure, so that a save never costs a level: the writer saves the whole
// file beside the old one and renames it over (runtime/files/
// file_replacement.h), and a save that fails (no folder, a full disk) is
// logged, with the whole path and the system's reason, and error 3 recorded,
// and the program goes on with the old file whole. The file was written in
// place: a failed write ended the program and left a truncated level.
//
// Departure, so that every level file loads: a size above 29 loads the
// file's top-left 30 x 30 part (the rest of its cells is read past), and a
// fish parameter or an oyster's upper cell beyond the grids makes nothing
// there (grid_cells.h). They ended the program with error 9.
#include "game/world/level_file.h"

#include <algorithm>
#include <string>

#include "game/world/cell_codes.h"
#include "game/world/family_walk.h"
#include "game/world/game_state.h"
#include "game/world/grid_cells.h"
#include "game/world/level_objects.h"
#include "game/world/tile_map.h"
#include "game/world/world_host.h"
#include "runtime/files/file_channels.h"
#include "runtime/files/file_replacement.h"
#include "runtime/files/file_system.h"
#include "runtime/services/runtime_error.h"
#include "shell/frame_end.h"

namespace {
constexpr uint32_t kLevelChannel = 1;

RtString numberedName(const char* prefix, int32_t level) {
    RtString name(prefix);
    name += level;
    name += ".dat";
    return name;
}

// The level format from an open channel into SIZE_X, SIZE_Y, MAP and
// LEVEL_PARAM; a short file ends the program in the first read that fails.
// Cells beyond the grids are read and dropped, and the sizes are held to
// the grids, so the level is its top-left 30 x 30 part.
void readLevelData(uint32_t channel) {
    ReadInt16FromFile(channel, SIZE_X);
    ReadInt16FromFile(channel, SIZE_Y);
    for (int32_t y = 0; y <= SIZE_Y; ++y) {
        for (int32_t x = 0; x <= SIZE_X; ++x) {
            int32_t value = 0;
            ReadInt8FromFile(channel, value);
            mapCell(x, y) = value;
        }
    }
    SIZE_X = std::min(SIZE_X, kGridSize - 1);
    SIZE_Y = std::min(SIZE_Y, kGridSize - 1);
    for (int32_t i = 0; i < kLevelParamCount; ++i) {
        int32_t value = 0;
        ReadInt16FromFile(channel, value);
        LEVEL_PARAM.at(i) = value;
    }
}

void putLittleEndian(std::string& out, int32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF));
}

// The level format from SIZE_X, SIZE_Y, MAP and LEVEL_PARAM, saved whole
// (file_replacement.h, which logs a failure); false, with 3 recorded and the
// old file as it was, when it cannot be.
bool writeLevelFile(const RtString& name) {
    std::string bytes;
    putLittleEndian(bytes, SIZE_X, 2);
    putLittleEndian(bytes, SIZE_Y, 2);
    for (int32_t y = 0; y <= SIZE_Y; ++y) {
        for (int32_t x = 0; x <= SIZE_X; ++x) putLittleEndian(bytes, mapCell(x, y), 1);
    }
    for (int32_t i = 0; i < kLevelParamCount; ++i) putLittleEndian(bytes, LEVEL_PARAM.at(i), 2);
    if (files::saveWholeFile(name.data, bytes.data(), bytes.size(), "SaveLevel")) return true;
    setRuntimeError(3);
    return false;
}

// The level and story globals that every load starts from.
void resetLevelState(int32_t level) {
    MINE_FIRED = 0;
    BUBBLE1_X = 70;
    DARK_LEVEL = 0;
    LEVEL_LOST = 0;
    GEMS_LEFT = 0;
    PEARL_TAKEN = 0;
    PARAM_INDEX = 0;
    SHARK_X = 300;
    GAME_WON = 0;
    REELED_IN = 0;
    GAME_PHASE = 0;
    SPEECH_FRAME = -1;
    BUBBLE1_Y = 52;
    BUBBLE2_X = 86;
    BUBBLE2_Y = 52;
    BUBBLE_STEP = 0;
    STORY_TICK = 0;
    if (level == 0) PLAYER_CONTROL = 0;
    // State that would otherwise outlive the level (see the banner).
    emptyFamily(BLOOD);
    emptyFamily(FLYING_GEMS);
    emptyFamily(REEL_DIVERS);
    emptyFamily(EXPLOSIONS);
    SHAKE_TIME = 0;
    SHAKE_X = 0;
    STEP_TICKS = 0;
    STEP_DONE = 0;
    IN_WEED = 0;
    LEFT_WEED = 0;
}
}  // namespace

RtString levelFileName(int32_t level) { return numberedName("Data/shol", level); }

void DimensionLevelGrids() {
    MAP.dim(kGridSize, kGridSize);
    OVERLAY.dim(kGridSize, kGridSize);
    LEVEL_PARAM.dim(kLevelParamCount);
}

double ResetLevelGrids() {
    for (int32_t x = 0; x < kGridSize; ++x) {
        for (int32_t y = 0; y < kGridSize; ++y) {
            mapCell(x, y) = cell::kFiller;
            overlayCell(x, y) = cell::kNothing;
        }
    }
    for (int32_t i = 0; i < kLevelParamCount; ++i) LEVEL_PARAM.at(i) = 0;
    SCROLLX = 0;
    SCROLLY = 0;
    return 0.0;
}

double ClearLevel() {
    emptyFamily(SHARKS);
    emptyFamily(SUBMARINES);
    emptyFamily(ANGLERS);
    emptyFamily(PLAYERS);
    emptyFamily(GEMS);
    emptyFamily(SPARKLES);
    emptyFamily(FISH);
    emptyFamily(STARFISH);
    emptyFamily(OCTOPUSES);
    emptyFamily(WEEDS);
    emptyFamily(SPONGES);
    emptyFamily(BUBBLES);
    emptyFamily(POPS);
    emptyFamily(BOULDERS);
    emptyFamily(BUBBLE_VENTS);
    emptyFamily(CRABS);
    emptyFamily(MINES);
    emptyFamily(BLASTS);
    emptyFamily(BOMBS);
    emptyFamily(OYSTERS);
    emptyFamily(PEARLS);
    emptyFamily(DIVERS);
    emptyFamily(PHOTO_OVERLAYS);
    return 0.0;
}

bool LevelFileIsWhole(int32_t level) {
    const RtString name = levelFileName(level);
    prepareMediaFile(name);
    bool whole = false;
    if (OpenFile(kLevelChannel, name, 1)) {
        FileSeek(kLevelChannel, 0, -1);
        const int64_t size = FilePosition(kLevelChannel);
        FileSeek(kLevelChannel, 0, 0);
        if (size >= 4) {
            int32_t sizeX = 0, sizeY = 0;
            ReadInt16FromFile(kLevelChannel, sizeX);
            ReadInt16FromFile(kLevelChannel, sizeY);
            // The reader's loops: no cells for a negative size.
            const int64_t cells = int64_t{std::max(sizeX + 1, 0)} * std::max(sizeY + 1, 0);
            whole = size >= 4 + cells + 2 * kLevelParamCount;
        }
    }
    CloseFile(kLevelChannel);  // also forgets the error of a failed open
    return whole;
}

double LoadLevel(int32_t level) {
    ResetLevelGrids();
    ClearLevel();
    resetLevelState(level);

    const RtString name = levelFileName(level);
    prepareMediaFile(name);
    OpenFile(kLevelChannel, name, 1);
    readLevelData(kLevelChannel);
    CloseFile(kLevelChannel);

    if (PLAY_MODE > 0) {
        spawnLevelObjects();
        if (level == 0) spawnStoryDiver();
        spawnLevelFish();
    }
    RenderMapSurface();
    return 0.0;
}

bool SaveLevelFile(int32_t level) { return writeLevelFile(numberedName("data/shol", level)); }

double SaveLevel(int32_t level) {
    SaveLevelFile(level);
    return 0.0;
}

double ConvertLevelFile() {
    for (LEVEL = 1; LEVEL <= 19; ++LEVEL) {
        const RtString oldName = numberedName("data/sr", LEVEL);
        if (!FileExists(oldName)) continue;
        OpenFile(kLevelChannel, oldName, 1);
        readLevelData(kLevelChannel);
        CloseFile(kLevelChannel);
        for (int32_t y = 0; y <= SIZE_Y; ++y) {
            for (int32_t x = 0; x <= SIZE_X; ++x) {
                const int code = mapCell(x, y);
                if (code > cell::kLastSolid) mapCell(x, y) = code + 10;
            }
        }
        writeLevelFile(numberedName("data/shol", LEVEL));
        EndFrame();
    }
    return 0.0;
}
