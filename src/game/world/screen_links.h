// The screens that the in-game loop leads to, as links that the game's
// screens connect when they start: the level card that loads each level, the
// ending page, the title menu and the level editor. Until a link is
// connected it stands in: the level card only loads the level (LoadLevel,
// no card), and the other three return at once. Null restores a stand-in.
#pragma once
#include <cstdint>

struct ScreenLinks {
    double (*showLevelIntro)(int32_t level);  // shows the card, then LoadLevel(level)
    double (*showEnding)();                   // the ending page; goes on to the title menu
    double (*titleMenu)();
    double (*levelEditor)();
};

// The links in use (the stand-ins at program start).
const ScreenLinks& screenLinks();
// Replaces the links; a null member keeps (or restores) its stand-in.
void connectScreenLinks(const ScreenLinks& links);
