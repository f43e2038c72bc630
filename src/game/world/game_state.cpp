// The game state's storage: every global of game_state.h, zero or empty at
// program start, and the one instantiation of each record family's array.
#include "game/world/game_state.h"

#include "game/world/cell_codes.h"
#include "runtime/services/mathematics.h"

RtArray<int> MAP;
RtArray<int> OVERLAY;

RtArray<int> LEVEL_PARAM;
int32_t SIZE_X = 0, SIZE_Y = 0;
int32_t SCROLLX = 0, SCROLLY = 0;
int32_t LEVEL = 0;
int32_t PLAY_MODE = 0;
int32_t GEMS_LEFT = 0;
int32_t DARK_LEVEL = 0;
int32_t PARAM_INDEX = 0;
int32_t CRAB_SERIAL = 0;

int32_t STEP_TICKS = 0;
int32_t STEP_COOLDOWN = 0;
int32_t STEP_DONE = 0;
int32_t PLAYER_DIR = 0;
int32_t PLAYER_X = 0, PLAYER_Y = 0;
int32_t IN_WEED = 0;
int32_t LEFT_WEED = 0;
int32_t PLAYER_CONTROL = 0;
int32_t LEVEL_LOST = 0;
int32_t MINE_FIRED = 0;
int32_t PEARL_TAKEN = 0;
int32_t ANIM_FRAME = 0;
int32_t ANIM_TICK = 0;

int32_t GAME_PHASE = 0;
int32_t SPEECH_FRAME = 0;
int32_t INTRO_TICK = 0, STORY_TICK = 0;
int32_t BUBBLE_STEP = 0, BUBBLE_TICK = 0;
int32_t BUBBLE1_X = 0, BUBBLE1_Y = 0, BUBBLE2_X = 0, BUBBLE2_Y = 0;
int32_t SHAKE_TIME = 0;
int32_t SHAKE_X = 0;
int32_t REELED_IN = 0;
int32_t SHARK_X = 0;
int32_t GAME_WON = 0;
int32_t TITLE_SHARK_Y = 0, TITLE_SHARK_DIR = 0;

int32_t OVERSCAN_H = 0, OVERSCAN_V = 0;
int32_t SCREEN_W = 0, SCREEN_H = 0;
double SOUND_VOLUME = 0.0;
double MUSIC_VOLUME = 0.0;
RtString CONFIG_FILE;
RtArray<RtString> LEVEL_NAMES;
RtArray<RtString> MENU_TEXT;
RtArray<double> WAVE_SIN, WAVE_COS;
double WAVE_ANGLE = 0.0;
double RELOAD_PENDING = 0.0;

double MOUSE_X = 0.0, MOUSE_Y = 0.0, MOUSE_B1 = 0.0, MOUSE_B2 = 0.0;
RtArray<double> MOUSE_HELD;
RtArray<double> MOUSE_HIT;

template class RtArray<Player>;
template class RtArray<Starfish>;
template class RtArray<Crab>;
template class RtArray<Fish>;
template class RtArray<Angler>;
template class RtArray<Octopus>;
template class RtArray<Sponge>;
template class RtArray<Boulder>;
template class RtArray<Bomb>;
template class RtArray<Mine>;
template class RtArray<Blast>;
template class RtArray<Gem>;
template class RtArray<Pearl>;
template class RtArray<Oyster>;
template class RtArray<Weed>;
template class RtArray<BubbleVent>;
template class RtArray<Bubble>;
template class RtArray<Pop>;
template class RtArray<Sparkle>;
template class RtArray<FlyingGem>;
template class RtArray<Explosion>;
template class RtArray<Blood>;
template class RtArray<Submarine>;
template class RtArray<ReelDiver>;
template class RtArray<Diver>;
template class RtArray<Shark>;
template class RtArray<PhotoOverlay>;

RtArray<Player> PLAYERS;
RtArray<Starfish> STARFISH;
RtArray<Crab> CRABS;
RtArray<Fish> FISH;
RtArray<Angler> ANGLERS;
RtArray<Octopus> OCTOPUSES;
RtArray<Sponge> SPONGES;
RtArray<Boulder> BOULDERS;
RtArray<Bomb> BOMBS;
RtArray<Mine> MINES;
RtArray<Blast> BLASTS;
RtArray<Gem> GEMS;
RtArray<Pearl> PEARLS;
RtArray<Oyster> OYSTERS;
RtArray<Weed> WEEDS;
RtArray<BubbleVent> BUBBLE_VENTS;
RtArray<Bubble> BUBBLES;
RtArray<Pop> POPS;
RtArray<Sparkle> SPARKLES;
RtArray<FlyingGem> FLYING_GEMS;
RtArray<Explosion> EXPLOSIONS;
RtArray<Blood> BLOOD;
RtArray<Submarine> SUBMARINES;
RtArray<ReelDiver> REEL_DIVERS;
RtArray<Diver> DIVERS;
RtArray<Shark> SHARKS;
RtArray<PhotoOverlay> PHOTO_OVERLAYS;

int32_t cellOf(double pixels) { return truncateToInt32(pixels) / kCellPixels; }
