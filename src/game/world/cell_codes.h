// The codes by which the families see one another: what a MAP cell or an
// OVERLAY cell holds. Level files store the tile codes and the spawn codes;
// the families write their occupancy codes into the cells they hold.
#pragma once
#include <cstdint>

namespace cell {
// MAP
constexpr int32_t kBubbleStream = -1;  // written by bubble vents; free for every family
constexpr int32_t kWater = 0;
constexpr int32_t kFiller = 1;         // solid; also the filler beyond the level's size
constexpr int32_t kLastSolid = 21;     // 1 to 21 are solid tiles
constexpr int32_t kFirstUndrawn = 24;  // 1 to 23 are drawn from the tile sheet
constexpr int32_t kDiver = 22;
constexpr int32_t kGemFree = 23;  // free for stepping, fish and anglers
constexpr int32_t kStarfish = 24;
constexpr int32_t kFish = 25;
constexpr int32_t kOctopus = 26;
constexpr int32_t kSponge = 27;
constexpr int32_t kCrabCatch = 29;
constexpr int32_t kCrab = 31;
// Spawn codes of the level file (32 to 48). Those of the diver and the
// creatures (32 to 38 but the gem's 33) stay in MAP until their record
// first writes its own code; a fish cell becomes a fish only where a level
// parameter names it.
constexpr int32_t kDiverSpawn = 32;
constexpr int32_t kGemSpawn = 33;
constexpr int32_t kFishUpSpawn = 35;
constexpr int32_t kFishDownSpawn = 38;
constexpr int32_t kPearlSpawn = 47;
constexpr int32_t kBoulder = 39;  // a resting boulder or bomb
constexpr int32_t kVent = 40;
constexpr int32_t kMine = 43;
constexpr int32_t kOyster = 46;
constexpr int32_t kAngler = 48;
constexpr int32_t kStoryDiver = 80;
constexpr int32_t kPush = 99;  // a push request for the boulder or bomb in the cell

// OVERLAY
constexpr int32_t kNothing = 0;
constexpr int32_t kWeed = 7;
constexpr int32_t kGem = 23;
constexpr int32_t kBlastFire = 99;
}  // namespace cell

// Cells are 16 x 16 pixels; a cell index is a pixel position divided by 16
// with truncation toward zero.
constexpr int32_t kCellPixels = 16;
constexpr int32_t cellOf(int32_t pixels) { return pixels / kCellPixels; }
int32_t cellOf(double pixels);  // the number truncated first (game_state.cpp)
