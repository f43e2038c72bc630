// The level titles and the editor's menu words.
#include "game/screens/game_texts.h"

#include "game/world/game_state.h"

// One per level, in level order; each fits the level card's line.
const char* const kLevelTitles[kLevelTitleCount] = {
    "SHALLOW WATERS",      // 0
    "FIRST GLIMMER",       // 1
    "CORAL PASSAGE",       // 2
    "LOOSE STONES",        // 3
    "HEAVE HO",            // 4
    "ROCKFALL MAZE",       // 5
    "STAR CROSSING",       // 6
    "STARS AND STONES",    // 7
    "SIDEWAYS WALKERS",    // 8
    "CRAB BRIDGE",         // 9
    "RISING FINS",         // 10
    "FISH LADDER",         // 11
    "SOFT PUSHES",         // 12
    "SPONGE GATE",         // 13
    "FIZZING BARRELS",     // 14
    "CHAIN OF BLASTS",     // 15
    "MINE FIELD",          // 16
    "SPARKS BELOW",        // 17
    "THE PEARL KEY",       // 18
    "TWIN SHELLS",         // 19
    "HIDE IN THE WEED",    // 20
    "BUBBLE LIFTS",        // 21
    "EIGHT ARMS",          // 22
    "INK PIT",             // 23
    "LIGHTS IN THE DEEP",  // 24
    "LANTERNS AND WEED",   // 25
    "CROWDED REEF",        // 26
    "STARFISH RING",       // 27
    "SHELL GAME",          // 28
    "THE DARK VENT",       // 29
    "HEART OF THE SHOAL",  // 30
};

const char* const kMenuWords[kMenuWordCount] = {
    "TEST",       "SCROLL LEFT", "SCROLL RIGHT", "SCROLL UP", "SCROLL DOWN",
    "SAVE LEVEL", "LOAD LEVEL",  "INC LEVEL",    "DEC LEVEL", "CLR LEVEL",
};

void fillLevelNames() {
    LEVEL_NAMES.dim(kLevelNameSlots);
    for (int32_t i = 0; i < kLevelTitleCount; ++i) LEVEL_NAMES.at(i) = RtString(kLevelTitles[i]);
}

void fillMenuTexts() {
    MENU_TEXT.dim(kMenuTextSlots);
    for (int32_t i = 0; i < kMenuWordCount; ++i) MENU_TEXT.at(kFirstMenuWord + i) = RtString(kMenuWords[i]);
}
