// A copy of the whole state of a game in play, so that a search can try a
// move, look at what followed and come back: every game global of the Play
// group of the list in game_state.h (what a frame of play reads or writes,
// the record families among them), the random generator and the in-game
// loop's own values. Settings and tables that play never changes (names,
// wobble tables, volumes, the screen size) are not copied.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/world/run_game.h"

namespace levels {

class GameSnapshot {
public:
    // Copies the game's state and `loop`.
    void capture(const GameLoop& loop);
    // Puts the copy back.
    void restore(GameLoop& loop) const;
    // Bytes held (for the search's memory budget).
    size_t bytes() const { return data_.size(); }

private:
    std::vector<uint8_t> data_;
};

// A hash of what decides the game from here on: the grids, the records'
// cells and headings, the gems and pearl counts and the story phase; not the
// animation, the bubbles or the random generator.
uint64_t positionKey();

}  // namespace levels
