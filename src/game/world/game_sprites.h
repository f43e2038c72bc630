// The game's fixed sprite numbers, the images loaded into them at start-up
// and the offscreen screens. Every drawing routine of the game refers to
// these numbers; game_images.cpp loads kGameImages in its order.
#pragma once
#include <cstdint>

enum GameSprite : int32_t {
    kSpriteTiles = 1,
    kSpriteTitle = 3,
    kSpriteBubbles = 4,
    kSpriteDiver = 5,
    kSpriteAura = 6,
    kSpriteFin4 = 7,
    kSpriteCopyright = 8,
    kSpriteFin = 9,
    kSpriteStarfish = 10,
    kSpriteFish = 15,
    kSpriteGem = 20,
    kSpriteSponge = 25,
    kSpriteOctopus = 30,
    kSpriteAngler = 35,
    kSpriteCrab = 40,
    kSpriteBlastFire = 45,
    kSpriteMine = 50,
    kSpritePop = 60,
    kSpriteOyster = 70,
    kSpritePearl = 80,
    kSpriteSubmarine = 90,
    kSpriteQuit = 91,
    kSpriteExplosion = 95,
    kSpriteSpeech = 97,
    kSpritePlunger = 98,
    kSpriteQuote = 99,
    kSpriteShark = 100,
    kSpriteBlood = 120,
    kSpriteWeed = 130,
    kSpritePlaySurface = 500,  // offscreen screen 1, 240 x 160
    kSpriteWater = 550,
    kSpriteArrows = 800,
    kSpriteRetry = 801,
    kSpriteMapPicture = 850,  // offscreen screen 4, 320 x 320
    kSpriteController = 875,
    kSpritePhoto = 877,
    kSpriteDarkness = 900,  // offscreen screen 5, 240 x 160
    kSpriteFont = 1000,
};

// Offscreen screens and their size.
constexpr int32_t kScreenPlay = 1;
constexpr int32_t kScreenMapPicture = 4;
constexpr int32_t kScreenDarkness = 5;
constexpr int32_t kScreenWindow = -1;
constexpr int32_t kPlayWidth = 240;
constexpr int32_t kPlayHeight = 160;

// Colours, 0x00BBGGRR. The see-through colour is the 2-D layer's transparent
// colour: loaded pixels of it are not drawn, and a fill with it on an
// offscreen screen cuts a hole.
constexpr int32_t kSeeThroughColour = 0x8000FF;
constexpr int32_t kWhite = 0xFFFFFF;

// One row of the image table: a frame size of 0 loads the whole picture.
struct GameImage {
    const char* file;
    int32_t sprite;
    int32_t frameWidth;
    int32_t frameHeight;
};
constexpr int32_t kGameImageCount = 35;
extern const GameImage kGameImages[kGameImageCount];

// Loads every image into its sprite, in table order. A missing image leaves
// its sprite empty (the loader records error 3 and the next row goes on).
double LoadGameImages();
// How many images of the table the last LoadGameImages could not load.
int32_t failedGameImages();
// When RELOAD_PENDING is 1 and the host reports lost textures, loads them
// again; either way RELOAD_PENDING becomes 0.
double ReloadGameImages();
