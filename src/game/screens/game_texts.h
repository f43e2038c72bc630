// The game's fixed texts: the 31 level titles and the level editor's menu
// words, as the game's main routine puts them into LEVEL_NAMES and MENU_TEXT.
#pragma once
#include <cstdint>

constexpr int32_t kLevelTitleCount = 31;
extern const char* const kLevelTitles[kLevelTitleCount];

constexpr int32_t kLevelNameSlots = 100;
constexpr int32_t kMenuTextSlots = 50;
constexpr int32_t kFirstMenuWord = 4;
constexpr int32_t kMenuWordCount = 10;
extern const char* const kMenuWords[kMenuWordCount];  // MENU_TEXT 4 to 13

// LEVEL_NAMES: 100 slots, titles in 0 to 30. MENU_TEXT: 50 slots, the
// words in 4 to 13. The other slots are empty.
void fillLevelNames();
void fillMenuTexts();
