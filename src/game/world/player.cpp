// The player's diver. Depends on the game state, the controller and sounds
// of the device bridge (world_host.h, game_sounds.h) and the 2-D commands.
//
// Departure, mending a fault: a push attempt was made whenever pushDelay
// was below 1 and the diver had a direction, so a diver beside a wall or a
// creature wrote the push request 99 into that cell when RandomInt(20) gave
// 0, and then walked into it (and any attempt froze the diver for 20
// frames). The attempt is made only when the cell beside the diver in its
// horizontal direction holds a resting boulder or bomb (39).
#include "game/world/player.h"

#include "game/world/creature_rules.h"
#include "game/world/game_sounds.h"
#include "game/world/game_sprites.h"
#include "game/world/world_host.h"
#include "gfx2d/gfx2d_commands.h"

namespace {
constexpr int32_t kInputCooldown = 20;  // frames from the start of one step to the next
constexpr int32_t kPressedAbove = 600;  // arrow actions read 0 to 1000
constexpr double kMoveVolume = 0.2;
constexpr int32_t kBreathEvery = 60;    // a burst once bubbleTick exceeds this
constexpr int32_t kFacingFrames = 4;    // frames 0 to 3 face right, 4 to 7 left

// Free for a step: bubble stream, water, and 23; downward the stream blocks.
bool freeForStep(int32_t code, bool downward) {
    if (code == cell::kBubbleStream) return !downward;
    return code == cell::kWater || code == cell::kGemFree;
}

bool freeBeyondPush(CellPos beyond) {
    const int32_t code = mapCell(beyond);
    return (code == cell::kWater || code == cell::kBubbleStream) && overlayCell(beyond) == cell::kNothing;
}

// Pushing: holding a direction against a boulder or bomb wears its
// pushDelay down; once it is below 1 the push request 99 goes into the
// object's cell when the cell beyond it is free in both grids, and the diver
// follows it.
void tryPush(Player& p, CellPos at) {
    if (PLAYER_CONTROL != 1) return;
    if (directionPressed("Left", "PadL_Left") && p.left == cell::kBoulder) {
        p.pushDelay -= 1;
        p.dir = 3;
        p.faceLeft = 1;
    }
    if (directionPressed("Right", "PadL_Right") && p.right == cell::kBoulder) {
        p.pushDelay -= 1;
        p.dir = 1;
        p.faceLeft = 0;
    }
    if (p.pushDelay >= 1 || !stepAtRest()) return;
    if (p.dir != 1 && p.dir != 3) return;
    const int32_t side = p.dir == 1 ? 1 : -1;
    if (mapCell(at, side) != cell::kBoulder) return;  // the phantom push (see the banner)
    if (freeBeyondPush({at.c + 2 * side, at.r})) mapCell(at, side) = cell::kPush;
    p.pushDelay = RandomInt(20);
    if (mapCell(at, 1) == cell::kPush || mapCell(at, -1) == cell::kPush) STEP_TICKS = kStepFrames;
    STEP_COOLDOWN = kInputCooldown;
}

// Stepping: at most one step, the first allowed of Up, Down, Right, Left.
void tryStep(Player& p, CellPos at) {
    if (!stepAtRest() || PLAYER_CONTROL != 1) return;
    int32_t dir = 0;
    if (directionPressed("Up", "PadL_Up") && freeForStep(p.up, false)) {
        dir = 4;
    } else if (directionPressed("Down", "PadL_Down") && freeForStep(p.down, true)) {
        dir = 2;
    } else if (directionPressed("Right", "PadL_Right") && freeForStep(p.right, false)) {
        dir = 1;
        p.faceLeft = 0;
    } else if (directionPressed("Left", "PadL_Left") && freeForStep(p.left, false)) {
        dir = 3;
        p.faceLeft = 1;
    }
    if (dir == 0) return;
    p.dir = dir;
    const Offset o = offsetOfDir(dir);
    STEP_TICKS = kStepFrames;
    STEP_COOLDOWN = kInputCooldown;
    mapCell(at, o.dx, o.dy) = cell::kDiver;  // claimed before the diver moves
    PlayGameSound(SoundMove, kMoveVolume);
}

// The speech sprite shows in level 0 until the submarine has gone, and
// always in the last level.
bool speechShown() {
    return SPEECH_FRAME >= 0 && ((LEVEL == 0 && GAME_PHASE < 10) || LEVEL == kLastLevel);
}

RecordFate stepPlayer(Player& p) {
    CellPos at = cellAt(p.x, p.y);
    p.up = mapCell(at, 0, -1);
    p.down = mapCell(at, 0, 1);
    p.left = mapCell(at, -1, 0);
    p.right = mapCell(at, 1, 0);
    if (p.right == cell::kStoryDiver && GAME_PHASE == 0) GAME_PHASE = 1;

    if (inBlastFire(at)) {
        mapCell(at) = cell::kWater;
        POPS.push(Pop{p.x, p.y, 0, 0});  // the level reloads when the puff has played
        return RecordFate::Delete;
    }
    if (overlayCell(at) == cell::kWeed) IN_WEED = 1;
    if (stepRunning()) {
        mapCell(at) = cell::kWater;
        STEP_TICKS -= 1;
    }
    if (stepAtRest() && STEP_COOLDOWN == 0 && LEVEL_LOST == 0 && MINE_FIRED == 0) {
        mapCell(at) = cell::kWater;
        tryPush(p, at);
        tryStep(p, at);
    }
    PLAYER_DIR = p.dir;

    if (stepRunning() && MINE_FIRED == 0) {
        STEP_DONE = 2;
        const Offset o = offsetOfDir(p.dir);
        p.x += o.dx * kStepPixelsPerFrame;
        p.y += o.dy * kStepPixelsPerFrame;
    }
    DrawAnimFrame(kSpriteDiver, ANIM_FRAME + kFacingFrames * p.faceLeft, p.x, p.y);

    p.bubbleTick += 1;
    if (p.bubbleTick > kBreathEvery) {
        bubbleBurst(2, [&] { pushBreathBubble(p.x + 9, p.y + RandomInt(7), 0); });
        p.bubbleTick = 0;
    }

    at = cellAt(p.x, p.y);
    if (stepAtRest()) {
        mapCell(at) = cell::kDiver;
        if (overlayCell(at) == cell::kWeed) {
            IN_WEED = 1;
        } else {
            LEFT_WEED = IN_WEED;
            IN_WEED = 0;
        }
    }
    PLAYER_X = p.x;
    PLAYER_Y = p.y;
    if (stepAtRest() && STEP_DONE == 2) STEP_DONE = 1;
    if (REELED_IN == 1) SPEECH_FRAME = 0;
    if (GAME_PHASE >= 1 && GAME_PHASE <= 9) p.faceLeft = 0;
    if (speechShown()) DrawAnimFrame(kSpriteSpeech, SPEECH_FRAME, p.x + 6, p.y - 12);
    return RecordFate::Keep;
}
}  // namespace

bool directionPressed(const char* action, const char* padAction) {
    return controllerValue(action) > kPressedAbove || controllerValue(padAction) != 0.0;
}

double SpawnPlayer(double column, double row) {
    const int32_t c = truncateToInt32(column);
    const int32_t r = truncateToInt32(row);
    PLAYERS.push(Player{c * kCellPixels, r * kCellPixels, 0, 0, 0, 0, 0, 0, 0, RandomInt(20)});
    return 0.0;
}

double UpdatePlayer() {
    walkFamily(PLAYERS, stepPlayer);
    return 0.0;
}
