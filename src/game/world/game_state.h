// The game's whole state: the two 30 x 30 grids, the ten level parameters,
// the level, clock, story, screen and settings globals, and one RtArray<T> per
// record family (game_records.h).
//
// Every game routine reads and writes these directly; the order of the calls
// in the in-game frame is the only ordering of the state. Everything is zero
// (or empty) at program start: the arrays and strings are constant-initialised
// and released at exit (resetGameGlobals brings that state back). The game's
// main routine dimensions the grids and the tables and sets the two volumes;
// the level loader resets the level and story globals at each load.
#pragma once
#include <cstdint>
#include <type_traits>

#include "game/world/game_records.h"
#include "runtime/containers/rt_array.h"
#include "runtime/strings/rt_string.h"

// The one list of the game's globals, one row each: X(group, type, name).
// The declarations below, the storage and the reset (game_state.cpp) and
// the solver's snapshot of a game in play all come from this list, so a
// global added here is reset and copied with the others. The groups:
//   Play         what decides how play goes on; a frame of play reads and
//                writes it, and a snapshot of a game in play copies it;
//   OutsidePlay  settings, tables, and the values of the menus, the host
//                and the mouse, which a snapshot leaves as they are.
#define VANTRIC_GAME_GLOBALS(X)                                                                            \
    /* Grids, indexed [x, y] with the column first, dimensioned 30 x 30. */                                \
    X(Play, RtArray<int>, MAP)     /* tile and occupancy codes (cell_codes.h) */                           \
    X(Play, RtArray<int>, OVERLAY) /* 0 nothing, 7 weed, 23 gem, 99 blast fire */                          \
    /* Level. */                                                                                           \
    X(Play, RtArray<int>, LEVEL_PARAM) /* 10: > 0 names a fish cell as x + 15 * y */                       \
    X(Play, int32_t, SIZE_X)           /* highest column index of the level */                             \
    X(Play, int32_t, SIZE_Y)           /* highest row index of the level */                                \
    X(Play, int32_t, SCROLLX)          /* the editor's scroll in cells */                                  \
    X(Play, int32_t, SCROLLY)                                                                              \
    X(Play, int32_t, LEVEL)       /* 0 to 30; also the level reached in the config file */                 \
    X(Play, int32_t, PLAY_MODE)   /* 1 play, 2 a test from the editor, 0 editing */                        \
    X(Play, int32_t, GEMS_LEFT)   /* gems still to collect; -1 for the end sequence of level 30 */         \
    X(Play, int32_t, DARK_LEVEL)  /* 1 when the level holds an angler */                                   \
    X(Play, int32_t, PARAM_INDEX) /* the editor's next parameter slot */                                   \
    X(Play, int32_t, CRAB_SERIAL) /* serial of the next crab; never reset by the game */                   \
    /* Diver and clocks. */                                                                                \
    X(Play, int32_t, STEP_TICKS)    /* frames left of the diver's step: 8 down to 0 */                     \
    X(Play, int32_t, STEP_COOLDOWN) /* frames before the diver or a button may act again */                \
    X(Play, int32_t, STEP_DONE)     /* 2 while stepping, 1 once a step ended, 0 taken by an octopus */     \
    X(Play, int32_t, PLAYER_DIR)    /* 1 right, 2 down, 3 left, 4 up */                                    \
    X(Play, int32_t, PLAYER_X)      /* pixels */                                                           \
    X(Play, int32_t, PLAYER_Y)      /* pixels (the menus' cursor y outside play) */                        \
    X(Play, int32_t, IN_WEED)                                                                              \
    X(Play, int32_t, LEFT_WEED)                                                                            \
    X(Play, int32_t, PLAYER_CONTROL) /* 1 the diver may step and push */                                   \
    X(Play, int32_t, LEVEL_LOST)     /* 1 once the diver is caught or a creature dies */                   \
    X(Play, int32_t, MINE_FIRED)     /* 1 from an explosion until its blast ends */                        \
    X(Play, int32_t, PEARL_TAKEN)    /* 1 while the diver carries a pearl */                               \
    X(Play, int32_t, ANIM_FRAME)     /* shared animation frame 0 to 3 */                                   \
    X(Play, int32_t, ANIM_TICK)                                                                            \
    /* Story of level 0 and of the last level. */                                                          \
    X(Play, int32_t, GAME_PHASE)   /* 0 play/opening, 1 speech, 2 briefing, 5 to 10 quake and submarine */ \
    X(Play, int32_t, SPEECH_FRAME) /* -1 none */                                                           \
    X(Play, int32_t, INTRO_TICK)                                                                           \
    X(Play, int32_t, STORY_TICK)                                                                           \
    X(Play, int32_t, BUBBLE_STEP)                                                                          \
    X(Play, int32_t, BUBBLE_TICK)                                                                          \
    X(Play, int32_t, BUBBLE1_X)                                                                            \
    X(Play, int32_t, BUBBLE1_Y)                                                                            \
    X(Play, int32_t, BUBBLE2_X)                                                                            \
    X(Play, int32_t, BUBBLE2_Y)                                                                            \
    X(Play, int32_t, SHAKE_TIME) /* frames left of the quake */                                            \
    X(Play, int32_t, SHAKE_X)    /* -1, 0 or 1, added to the x of some draws */                            \
    X(Play, int32_t, REELED_IN)                                                                            \
    X(Play, int32_t, SHARK_X)                                                                              \
    X(Play, int32_t, GAME_WON)                                                                             \
    X(OutsidePlay, int32_t, TITLE_SHARK_Y) /* the title menu's own shark */                                \
    X(OutsidePlay, int32_t, TITLE_SHARK_DIR)                                                               \
    X(OutsidePlay, int32_t, WAVE_PHASE) /* degrees; the wave page's phase, kept between visits */          \
    X(OutsidePlay, double, SCREENSHOT_SPRITE) /* the sprite the last screenshot used */                    \
    /* Display, sound and settings. */                                                                     \
    X(OutsidePlay, int32_t, OVERSCAN_H) /* window pixels left blank, 0 to 50 */                            \
    X(OutsidePlay, int32_t, OVERSCAN_V)                                                                    \
    X(OutsidePlay, int32_t, SCREEN_W) /* window size in pixels */                                          \
    X(OutsidePlay, int32_t, SCREEN_H)                                                                      \
    X(OutsidePlay, double, SOUND_VOLUME)            /* volume of every creature sound */                   \
    X(OutsidePlay, double, MUSIC_VOLUME)            /* 0 to 1 */                                           \
    X(OutsidePlay, RtString, CONFIG_FILE)           /* full path of the configuration file */              \
    X(OutsidePlay, RtArray<RtString>, LEVEL_NAMES)  /* 100: titles of levels 0 to 30 */                    \
    X(OutsidePlay, RtArray<RtString>, MENU_TEXT)    /* the editor's labels in slots 4 to 13 */             \
    X(OutsidePlay, RtArray<double>, WAVE_SIN)       /* water wobble tables (1,000 each) */                 \
    X(OutsidePlay, RtArray<double>, WAVE_COS)                                                              \
    X(Play, double, WAVE_ANGLE)                     /* index into the wobble tables */                     \
    X(OutsidePlay, double, RELOAD_PENDING)          /* 1 when the host may have lost the textures */       \
    /* Mouse buttons (mouse_buttons.h). */                                                                 \
    X(OutsidePlay, double, MOUSE_X)                                                                        \
    X(OutsidePlay, double, MOUSE_Y)                                                                        \
    X(OutsidePlay, double, MOUSE_B1)                                                                       \
    X(OutsidePlay, double, MOUSE_B2)                                                                       \
    X(OutsidePlay, RtArray<double>, MOUSE_HELD) /* 10: 1 while button i is down */                         \
    X(OutsidePlay, RtArray<double>, MOUSE_HIT)  /* 10: 2 pressed, 1 held, -1 released, 0 up */             \
    /* One array per record family, live records in creation order. */                                     \
    X(Play, RtArray<Player>, PLAYERS)                                                                      \
    X(Play, RtArray<Starfish>, STARFISH)                                                                   \
    X(Play, RtArray<Crab>, CRABS)                                                                          \
    X(Play, RtArray<Fish>, FISH)                                                                           \
    X(Play, RtArray<Angler>, ANGLERS)                                                                      \
    X(Play, RtArray<Octopus>, OCTOPUSES)                                                                   \
    X(Play, RtArray<Sponge>, SPONGES)                                                                      \
    X(Play, RtArray<Boulder>, BOULDERS)                                                                    \
    X(Play, RtArray<Bomb>, BOMBS)                                                                          \
    X(Play, RtArray<Mine>, MINES)                                                                          \
    X(Play, RtArray<Blast>, BLASTS)                                                                        \
    X(Play, RtArray<Gem>, GEMS)                                                                            \
    X(Play, RtArray<Pearl>, PEARLS)                                                                        \
    X(Play, RtArray<Oyster>, OYSTERS)                                                                      \
    X(Play, RtArray<Weed>, WEEDS)                                                                          \
    X(Play, RtArray<BubbleVent>, BUBBLE_VENTS)                                                             \
    X(Play, RtArray<Bubble>, BUBBLES)                                                                      \
    X(Play, RtArray<Pop>, POPS)                                                                            \
    X(Play, RtArray<Sparkle>, SPARKLES)                                                                    \
    X(Play, RtArray<FlyingGem>, FLYING_GEMS)                                                               \
    X(Play, RtArray<Explosion>, EXPLOSIONS)                                                                \
    X(Play, RtArray<Blood>, BLOOD)                                                                         \
    X(Play, RtArray<Submarine>, SUBMARINES)                                                                \
    X(Play, RtArray<ReelDiver>, REEL_DIVERS)                                                               \
    X(Play, RtArray<Diver>, DIVERS)                                                                        \
    X(Play, RtArray<Shark>, SHARKS)                                                                        \
    X(Play, RtArray<PhotoOverlay>, PHOTO_OVERLAYS)

constexpr int32_t kGridSize = 30;  // the grids' columns and rows
constexpr int32_t kLevelParamCount = 10;
constexpr int32_t kLastLevel = 30;

#define VANTRIC_DECLARE_GAME_GLOBAL(group, type, name) extern type name;
VANTRIC_GAME_GLOBALS(VANTRIC_DECLARE_GAME_GLOBAL)
#undef VANTRIC_DECLARE_GAME_GLOBAL

enum class GameGlobalGroup { Play, OutsidePlay };

// Calls visit(group, global) for every global of the list, in its order.
// `group` is a std::integral_constant of GameGlobalGroup, so a visitor picks
// what to do with each global at compile time (if constexpr).
template <class Visit>
void forEachGameGlobal(Visit&& visit) {
#define VANTRIC_VISIT_GAME_GLOBAL(group, type, name) \
    visit(std::integral_constant<GameGlobalGroup, GameGlobalGroup::group>{}, name);
    VANTRIC_GAME_GLOBALS(VANTRIC_VISIT_GAME_GLOBAL)
#undef VANTRIC_VISIT_GAME_GLOBAL
}

// Every global back to its state at program start: numbers zero, strings
// and arrays empty with their buffers released. For tests and tools that
// run the game more than once in one process; the game itself never calls it.
void resetGameGlobals();

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
