// The record types of the game world: one plain record per kind of creature,
// item and effect, each kept in a one-dimensional RtArray<T> of the game state
// (game_state.h) in creation order.
//
// Records are plain values of 32-bit integers, with doubles only where a
// family keeps fractions; the field order is fixed and every spawn routine
// and the level loader fill the fields in this order. Positions are pixels of
// the 240 x 160 play surface, top-left corner of the record's 16 x 16 cell
// unless a family says otherwise. Spare fields are kept so that the field
// order stays that of the level loader's initial values.
#pragma once
#include <cstdint>

// The player's diver.
struct Player {
    int32_t x, y;
    int32_t up, down, left, right;  // MAP codes of the four neighbours, read each frame
    int32_t bubbleTick;             // frames since the last breath
    int32_t dir;                    // last step or push: 1 right, 2 down, 3 left, 4 up; 0 none
    int32_t faceLeft;               // 1 facing left
    int32_t pushDelay;              // frames of pushing before a boulder moves
};

struct Starfish {
    int32_t x, y;
    int32_t up, down, left, right;
    int32_t heading;  // 0 right, 1 down, 2 left, 3 up
    int32_t moving;   // 0 or 1
    int32_t spare1, spare2;
    int32_t hand;     // -1 or +1: the side of the wall it follows
};

struct Crab {
    int32_t x, y;
    int32_t left, right, belowLeft, belowRight;
    int32_t heading;  // 0 right, 1 left, -1 stopped
    int32_t serial;   // CRAB_SERIAL when made
    int32_t spare;
};

struct Fish {  // all numbers
    double x, y;
    double up, down;
    double heading;  // 0 up, 1 down
    double spare;    // the level parameter index that named the fish
    double tick;
    double moving;
    double frame;      // 0 or 1
    double frameBase;  // 0 or 2
};

struct Angler {
    int32_t x, y;
    int32_t heading;  // 0 right, 1 left
    int32_t facing;   // 0 right, 1 left
    int32_t moving;
    int32_t left, right;
};

struct Octopus {
    int32_t x, y;
    int32_t heading;   // -1 none, 0 up, 3 down-right, 4 down, 5 down-left
    int32_t jumpLeft;  // frames of the current jump still to go
    int32_t spare1, spare2;
};

struct Sponge {
    int32_t x, y;
    int32_t pushHeading;  // -1 not pushed this step, 0 at rest, 1 right, 2 down, 3 left, 4 up
    int32_t spare;
};

struct Boulder {
    int32_t x, y;
    int32_t pushHeading;  // 0 none, else a copy of PLAYER_DIR
    int32_t falling;
    int32_t spare;
};

struct Bomb {
    int32_t x, y;
    int32_t pushHeading;
    int32_t falling;
    int32_t fallCount;  // frames fallen in all; never reset
    int32_t bubbleTick;
    int32_t bubbleInterval;
    int32_t spare;
};

struct Mine {
    int32_t x, y;
    int32_t up, down, left, right;
};

struct Blast {  // all numbers
    double x, y;
    double tick;
    double frame;
};

struct Gem {
    int32_t x, y;
};

struct Pearl {
    int32_t x, y;
    int32_t tick;
    int32_t frame;  // 0 to 12
};

// Two cells tall: (x, y) is the upper cell, the lower cell is one row below.
struct Oyster {
    int32_t x, y;
    int32_t belowLeft, belowRight, left, right;  // MAP codes beside the oyster
    int32_t tick;
    int32_t frame;
    int32_t state;  // 0 closed, 1 opening, 2 open
};

struct Weed {
    int32_t x, y;
    int32_t tick;
    int32_t frame;
};

struct BubbleVent {  // all numbers
    double x, y;
    double tick;
    double interval;  // frames between two bursts
};

struct Bubble {
    double x;  // wobbles by half pixels
    int32_t y;
    int32_t tick;
    int32_t frame;
    int32_t kind;  // 0 air, 1 from a bomb: picks the frame row
    int32_t spare;
};

struct Pop {
    int32_t x, y;
    int32_t tick;
    int32_t frame;
};

struct Sparkle {
    int32_t x, y;
    int32_t tick;
    int32_t frame;
};

struct FlyingGem {
    int32_t x, y;
};

struct Explosion {
    int32_t x, y;
    int32_t tick;
    int32_t frame;
};

struct Blood {
    int32_t x, y;
    int32_t tick;
    int32_t frame;
    double alpha;  // -1.0 (opaque, blended) rising to 0 (gone)
    int32_t rise;  // pixels up per frame step
};

struct Submarine {
    int32_t x, y;
    int32_t reelSent;
    int32_t moveTick;
    int32_t gemTick;
    int32_t spare;
    int32_t bubbleTick;
    int32_t gemsSent;
};

struct ReelDiver {
    int32_t x, y;
    int32_t spare;
    int32_t timer;
    int32_t state;  // 0 lowering, 1 holding, 2 reeling in
};

// A scripted diver of the story (not the player's).
struct Diver {
    int32_t x, y;
    int32_t bubbleTick;
    int32_t pose;
    int32_t spare1, spare2;
};

struct Shark {
    int32_t x, y;
    int32_t tick;
    int32_t frame;    // 0 to 3
    int32_t heading;  // 0 left, 1 right
};

struct PhotoOverlay {
    int32_t x, y;
    int32_t tick;
    int32_t photo;  // frame of the photo sprite, 0 to 7
    int32_t angle;  // degrees
    int32_t spare;
    double zoom;
    int32_t state;  // 0 zooming, 1 showing, 2 done
};
