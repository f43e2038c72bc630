// The game's whole state: the two 30 x 30 grids, the ten level parameters,
// the level, clock, story and settings globals, and one RtArray<T> per
// record family (game_records.h).
//
// Every game routine reads and writes these directly; the order of the calls
// in the in-game frame is the only ordering of the state. Everything is zero
// (or empty) at program start: the arrays and strings are constant-initialised
// and released at exit. The game's main routine dimensions the grids and the
// tables and sets the two volumes; the level loader resets the level and story
// globals at each load.
#pragma once
#include <cstdint>

#include "game/world/game_records.h"
#include "runtime/containers/rt_array.h"
#include "runtime/strings/rt_string.h"

// Grids, indexed [x, y] with the column first, dimensioned 30 x 30.
constexpr int32_t kGridSize = 30;
extern RtArray<int> MAP;      // tile and occupancy codes (cell_codes.h)
extern RtArray<int> OVERLAY;  // 0 nothing, 7 weed, 23 gem, 99 blast fire

// Level.
constexpr int32_t kLevelParamCount = 10;
constexpr int32_t kLastLevel = 30;
extern RtArray<int> LEVEL_PARAM;  // 10: > 0 names a fish cell as x + 15 * y
extern int32_t SIZE_X, SIZE_Y;    // highest column and row index of the level
extern int32_t SCROLLX, SCROLLY;  // the editor's scroll in cells
extern int32_t LEVEL;             // 0 to 30; also the level reached in the config file
extern int32_t PLAY_MODE;         // 1 play, 2 a test from the editor, 0 editing
extern int32_t GEMS_LEFT;         // gems still to collect; -1 for the end sequence of level 30
extern int32_t DARK_LEVEL;        // 1 when the level holds an angler
extern int32_t PARAM_INDEX;       // the editor's next parameter slot
extern int32_t CRAB_SERIAL;       // serial of the next crab; never reset

// Diver and clocks.
extern int32_t STEP_TICKS;      // frames left of the diver's step: 8 down to 0
extern int32_t STEP_COOLDOWN;   // frames before the diver or a button may act again
extern int32_t STEP_DONE;       // 2 while stepping, 1 once a step ended, 0 taken by an octopus
extern int32_t PLAYER_DIR;      // 1 right, 2 down, 3 left, 4 up
extern int32_t PLAYER_X, PLAYER_Y;  // pixels (the menus' cursor y outside play)
extern int32_t IN_WEED;
extern int32_t LEFT_WEED;
extern int32_t PLAYER_CONTROL;  // 1 the diver may step and push
extern int32_t LEVEL_LOST;      // 1 once the diver is caught or a creature dies
extern int32_t MINE_FIRED;      // 1 from an explosion until its blast ends
extern int32_t PEARL_TAKEN;     // 1 while the diver carries a pearl
extern int32_t ANIM_FRAME;      // shared animation frame 0 to 3
extern int32_t ANIM_TICK;

// Story of level 0 and of the last level.
extern int32_t GAME_PHASE;  // 0 play/opening, 1 speech, 2 briefing, 5 to 10 quake and submarine
extern int32_t SPEECH_FRAME;  // -1 none
extern int32_t INTRO_TICK, STORY_TICK;
extern int32_t BUBBLE_STEP, BUBBLE_TICK;
extern int32_t BUBBLE1_X, BUBBLE1_Y, BUBBLE2_X, BUBBLE2_Y;
extern int32_t SHAKE_TIME;  // frames left of the quake
extern int32_t SHAKE_X;     // -1, 0 or 1, added to the x of some draws
extern int32_t REELED_IN;
extern int32_t SHARK_X;
extern int32_t GAME_WON;
extern int32_t TITLE_SHARK_Y, TITLE_SHARK_DIR;  // the title menu's own shark

// Display, sound and settings.
extern int32_t OVERSCAN_H, OVERSCAN_V;  // window pixels left blank, 0 to 50
extern int32_t SCREEN_W, SCREEN_H;      // window size in pixels
extern double SOUND_VOLUME;             // volume of every creature sound
extern double MUSIC_VOLUME;             // 0 to 1
extern RtString CONFIG_FILE;            // full path of the configuration file
extern RtArray<RtString> LEVEL_NAMES;   // 100: titles of levels 0 to 30
extern RtArray<RtString> MENU_TEXT;     // the editor's labels in slots 4 to 13
extern RtArray<double> WAVE_SIN, WAVE_COS;  // water wobble tables (1,000 each)
extern double WAVE_ANGLE;                   // index into the wobble tables
extern double RELOAD_PENDING;  // 1 when the host may have lost the textures

// Mouse buttons (mouse_buttons.h).
extern double MOUSE_X, MOUSE_Y, MOUSE_B1, MOUSE_B2;
extern RtArray<double> MOUSE_HELD;  // 10: 1 while button i is down
extern RtArray<double> MOUSE_HIT;   // 10: 2 pressed, 1 held, -1 released, 0 up

// One array per record family, live records in creation order.
extern RtArray<Player> PLAYERS;
extern RtArray<Starfish> STARFISH;
extern RtArray<Crab> CRABS;
extern RtArray<Fish> FISH;
extern RtArray<Angler> ANGLERS;
extern RtArray<Octopus> OCTOPUSES;
extern RtArray<Sponge> SPONGES;
extern RtArray<Boulder> BOULDERS;
extern RtArray<Bomb> BOMBS;
extern RtArray<Mine> MINES;
extern RtArray<Blast> BLASTS;
extern RtArray<Gem> GEMS;
extern RtArray<Pearl> PEARLS;
extern RtArray<Oyster> OYSTERS;
extern RtArray<Weed> WEEDS;
extern RtArray<BubbleVent> BUBBLE_VENTS;
extern RtArray<Bubble> BUBBLES;
extern RtArray<Pop> POPS;
extern RtArray<Sparkle> SPARKLES;
extern RtArray<FlyingGem> FLYING_GEMS;
extern RtArray<Explosion> EXPLOSIONS;
extern RtArray<Blood> BLOOD;
extern RtArray<Submarine> SUBMARINES;
extern RtArray<ReelDiver> REEL_DIVERS;
extern RtArray<Diver> DIVERS;
extern RtArray<Shark> SHARKS;
extern RtArray<PhotoOverlay> PHOTO_OVERLAYS;

// The arrays are instantiated once, in game_state.cpp.
extern template class RtArray<Player>;
extern template class RtArray<Starfish>;
extern template class RtArray<Crab>;
extern template class RtArray<Fish>;
extern template class RtArray<Angler>;
extern template class RtArray<Octopus>;
extern template class RtArray<Sponge>;
extern template class RtArray<Boulder>;
extern template class RtArray<Bomb>;
extern template class RtArray<Mine>;
extern template class RtArray<Blast>;
extern template class RtArray<Gem>;
extern template class RtArray<Pearl>;
extern template class RtArray<Oyster>;
extern template class RtArray<Weed>;
extern template class RtArray<BubbleVent>;
extern template class RtArray<Bubble>;
extern template class RtArray<Pop>;
extern template class RtArray<Sparkle>;
extern template class RtArray<FlyingGem>;
extern template class RtArray<Explosion>;
extern template class RtArray<Blood>;
extern template class RtArray<Submarine>;
extern template class RtArray<ReelDiver>;
extern template class RtArray<Diver>;
extern template class RtArray<Shark>;
extern template class RtArray<PhotoOverlay>;
