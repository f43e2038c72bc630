// The in-game loop's links to the game's screens and their stand-ins.
#include "game/world/screen_links.h"

#include "game/world/level_file.h"

namespace {
double loadWithoutCard(int32_t level) { return LoadLevel(level); }
double returnAtOnce() { return 0.0; }

constexpr ScreenLinks kStandIns{loadWithoutCard, returnAtOnce, returnAtOnce, returnAtOnce};
ScreenLinks links = kStandIns;
}  // namespace

const ScreenLinks& screenLinks() { return links; }

void connectScreenLinks(const ScreenLinks& replacement) {
    links.showLevelIntro = replacement.showLevelIntro ? replacement.showLevelIntro : kStandIns.showLevelIntro;
    links.showEnding = replacement.showEnding ? replacement.showEnding : kStandIns.showEnding;
    links.titleMenu = replacement.titleMenu ? replacement.titleMenu : kStandIns.titleMenu;
    links.levelEditor = replacement.levelEditor ? replacement.levelEditor : kStandIns.levelEditor;
}
