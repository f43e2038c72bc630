// The cells of the game world's two grids, MAP and OVERLAY (30 x 30, column
// first), as the loader, the diver, every family and the story read and
// write them.
//
// Departure, so that every level plays: beyond the grids lies rock. A cell
// outside columns and rows 0..29 reads as rock (1, the filler that already
// lies beyond a smaller level's size) in MAP and as nothing (0) in OVERLAY,
// and a write to it is dropped. A diver or creature in row or column 0 or 29
// read (and an oyster in row 0 wrote) a cell outside the grids, which ended
// the program with error 9; a column of -1 read the other end of the row.
#pragma once
#include <cstdint>

#include "game/world/cell_codes.h"
#include "game/world/game_state.h"

// The cell of a record at pixel position (x, y).
struct CellPos {
    int32_t c, r;
};
inline CellPos cellAt(int32_t x, int32_t y) { return {cellOf(x), cellOf(y)}; }

// One cell of a grid, or the place beyond it: reads give the cell's code
// (or `beyond`), writes go to the cell (or nowhere). A value, not a
// reference, so that two places beyond the grids never share one slot.
class GridCell {
public:
    GridCell(RtArray<int>& grid, int32_t c, int32_t r, int beyond)
        : slot_(c >= 0 && r >= 0 && c < grid.d1 && r < grid.d2 ? &grid.at(c, r) : nullptr), beyond_(beyond) {}
    GridCell(const GridCell&) = default;

    operator int() const { return slot_ != nullptr ? *slot_ : beyond_; }
    const GridCell& operator=(int code) const {
        if (slot_ != nullptr) *slot_ = code;
        return *this;
    }
    // Cell to cell copies the code, not the place.
    const GridCell& operator=(const GridCell& other) const { return *this = static_cast<int>(other); }

private:
    int* slot_;
    int beyond_;
};

inline GridCell mapCell(int32_t c, int32_t r) { return GridCell(MAP, c, r, cell::kFiller); }
inline GridCell overlayCell(int32_t c, int32_t r) { return GridCell(OVERLAY, c, r, cell::kNothing); }
inline GridCell mapCell(CellPos p, int32_t dc = 0, int32_t dr = 0) { return mapCell(p.c + dc, p.r + dr); }
inline GridCell overlayCell(CellPos p, int32_t dc = 0, int32_t dr = 0) { return overlayCell(p.c + dc, p.r + dr); }
