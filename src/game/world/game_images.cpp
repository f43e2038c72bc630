// The asset loader: every picture of the game into its fixed sprite number,
// once at start-up (and again on hosts that lose their textures). The table's
// order is the load order; the sprite numbers are not in file order.
// Depends on the 2-D image commands, the runtime error code and the device
// bridge's media resolver.
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/world_host.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/runtime_error.h"

const GameImage kGameImages[kGameImageCount] = {
    {"tiles.png", kSpriteTiles, 16, 16},
    {"water2.png", kSpriteWater, 0, 0},
    {"title.png", kSpriteTitle, 0, 0},
    {"bubbles.png", kSpriteBubbles, 5, 5},
    {"copyright.png", kSpriteCopyright, 60, 9},
    {"diver2.png", kSpriteDiver, 16, 16},
    {"aura.png", kSpriteAura, 16, 16},
    {"fin4.png", kSpriteFin4, 0, 0},
    {"fin.png", kSpriteFin, 0, 0},
    {"starfish2.png", kSpriteStarfish, 16, 16},
    {"fish.png", kSpriteFish, 16, 16},
    {"gem.png", kSpriteGem, 16, 16},
    {"sponge.png", kSpriteSponge, 16, 16},
    {"octo.png", kSpriteOctopus, 16, 16},
    {"angler2.png", kSpriteAngler, 16, 16},
    {"crab.png", kSpriteCrab, 16, 16},
    {"explode2.png", kSpriteBlastFire, 16, 16},
    {"mine2.png", kSpriteMine, 16, 16},
    {"pop.png", kSpritePop, 16, 16},
    {"oyster.png", kSpriteOyster, 16, 32},
    {"pearl.png", kSpritePearl, 16, 16},
    {"sub.png", kSpriteSubmarine, 0, 0},
    {"explode.png", kSpriteExplosion, 13, 14},
    {"speech.png", kSpriteSpeech, 9, 12},
    {"plunger.png", kSpritePlunger, 0, 0},
    {"quote.png", kSpriteQuote, 85, 55},
    {"blood.png", kSpriteBlood, 16, 16},
    {"arrows.png", kSpriteArrows, 48, 48},
    {"retry.png", kSpriteRetry, 0, 0},
    {"shark1.png", kSpriteShark, 60, 33},
    {"font.png", kSpriteFont, 7, 12},
    {"quit.png", kSpriteQuit, 85, 36},
    {"weed.png", kSpriteWeed, 16, 16},
    {"controller.png", kSpriteController, 0, 0},
    {"photo.png", kSpritePhoto, 248, 168},
};

namespace {
int32_t imagesFailed = 0;
}  // namespace

// Each load starts from a cleared error code, so that the error it records is
// its own; error 3 stays recorded when any image failed.
double LoadGameImages() {
    imagesFailed = 0;
    for (const GameImage& image : kGameImages) {
        const RtString name(image.file);
        prepareMediaFile(name);
        clearErrorCode();
        if (image.frameWidth > 0) {
            LoadAnimFile(name, image.sprite, image.frameWidth, image.frameHeight);
        } else {
            LoadSpriteFile(name, image.sprite);
        }
        if (RtErrorCode != ErrorSuccess) ++imagesFailed;
    }
    if (imagesFailed > 0) setRuntimeError(ErrorNoSuchFile);
    return 0.0;
}

int32_t failedGameImages() { return imagesFailed; }

double ReloadGameImages() {
    if (RELOAD_PENDING == 1.0 && hostLostTextures()) LoadGameImages();
    RELOAD_PENDING = 0.0;
    return 0.0;
}
