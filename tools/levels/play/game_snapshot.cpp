// Snapshots of the game in play. Depends on the game state (game_state.h),
// the random generator's state (isaac.h) and the in-game loop's values.
#include "play/game_snapshot.h"

#include <cstring>
#include <tuple>

#include "game/world/game_state.h"
#include "runtime/services/isaac.h"

namespace levels {

namespace {
// Every integer global of play. Must be mirrored from game_state.h.
int32_t* const kInts[] = {
    &SIZE_X,      &SIZE_Y,       &SCROLLX,      &SCROLLY,      &LEVEL,        &PLAY_MODE,    &GEMS_LEFT,
    &DARK_LEVEL,  &PARAM_INDEX,  &CRAB_SERIAL,  &STEP_TICKS,   &STEP_COOLDOWN, &STEP_DONE,   &PLAYER_DIR,
    &PLAYER_X,    &PLAYER_Y,     &IN_WEED,      &LEFT_WEED,    &PLAYER_CONTROL, &LEVEL_LOST, &MINE_FIRED,
    &PEARL_TAKEN, &ANIM_FRAME,   &ANIM_TICK,    &GAME_PHASE,   &SPEECH_FRAME, &INTRO_TICK,   &STORY_TICK,
    &BUBBLE_STEP, &BUBBLE_TICK,  &BUBBLE1_X,    &BUBBLE1_Y,    &BUBBLE2_X,    &BUBBLE2_Y,    &SHAKE_TIME,
    &SHAKE_X,     &REELED_IN,    &SHARK_X,      &GAME_WON,
};
double* const kDoubles[] = {&WAVE_ANGLE};
RtArray<int>* const kGrids[] = {&MAP, &OVERLAY, &LEVEL_PARAM};

// Every record family. Must be mirrored from game_state.h.
auto families() {
    return std::tie(PLAYERS, STARFISH, CRABS, FISH, ANGLERS, OCTOPUSES, SPONGES, BOULDERS, BOMBS, MINES, BLASTS,
                    GEMS, PEARLS, OYSTERS, WEEDS, BUBBLE_VENTS, BUBBLES, POPS, SPARKLES, FLYING_GEMS, EXPLOSIONS,
                    BLOOD, SUBMARINES, REEL_DIVERS, DIVERS, SHARKS, PHOTO_OVERLAYS);
}

class Writer {
public:
    explicit Writer(std::vector<uint8_t>& out) : out_(out) {}
    void raw(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        out_.insert(out_.end(), b, b + n);
    }
    template <class T>
    void value(const T& v) { raw(&v, sizeof v); }
    template <class T>
    void array(const RtArray<T>& a) {
        value(a.d1);
        value(a.d2);
        const int32_t n = a.total;
        value(n);
        if (n > 0) raw(a.data, sizeof(T) * static_cast<size_t>(n));
    }

private:
    std::vector<uint8_t>& out_;
};

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& in) : in_(in) {}
    void raw(void* p, size_t n) {
        std::memcpy(p, in_.data() + at_, n);
        at_ += n;
    }
    template <class T>
    void value(T& v) { raw(&v, sizeof v); }
    // Grids keep their shape; their elements come back in storage order.
    void grid(RtArray<int>& a) {
        int32_t d1 = 0, d2 = 0, n = 0;
        value(d1);
        value(d2);
        value(n);
        if (a.d1 != d1 || a.d2 != d2) a.dim(d1, d2);
        if (n > 0) raw(a.data, sizeof(int) * static_cast<size_t>(n));
    }
    template <class T>
    void family(RtArray<T>& a) {
        int32_t d1 = 0, d2 = 0, n = 0;
        value(d1);
        value(d2);
        value(n);
        while (a.d1 > 0) a.remove(0);
        for (int32_t i = 0; i < n; ++i) {
            T record;
            value(record);
            a.push(record);
        }
    }

private:
    const std::vector<uint8_t>& in_;
    size_t at_ = 0;
};

uint64_t mix(uint64_t h, uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
}
}  // namespace

void GameSnapshot::capture(const GameLoop& loop) {
    data_.clear();
    Writer w(data_);
    for (int32_t* p : kInts) w.value(*p);
    for (double* p : kDoubles) w.value(*p);
    for (RtArray<int>* g : kGrids) w.array(*g);
    std::apply([&](auto&... f) { (w.array(f), ...); }, families());
    w.value(isaacState);
    w.value(loop);
}

void GameSnapshot::restore(GameLoop& loop) const {
    Reader r(data_);
    for (int32_t* p : kInts) r.value(*p);
    for (double* p : kDoubles) r.value(*p);
    for (RtArray<int>* g : kGrids) r.grid(*g);
    std::apply([&](auto&... f) { (r.family(f), ...); }, families());
    r.value(isaacState);
    r.value(loop);
}

uint64_t positionKey() {
    uint64_t h = 1469598103934665603ull;
    for (int32_t y = 0; y <= SIZE_Y; ++y) {
        for (int32_t x = 0; x <= SIZE_X; ++x) {
            h = mix(h, static_cast<uint64_t>(MAP.at(x, y) + 1000) * 1000 + static_cast<uint64_t>(OVERLAY.at(x, y) + 500));
        }
    }
    for (int32_t v : {GEMS_LEFT, PEARL_TAKEN, GAME_PHASE, STEP_DONE, IN_WEED, static_cast<int32_t>(SPARKLES.d1)}) {
        h = mix(h, static_cast<uint64_t>(static_cast<uint32_t>(v)));
    }
    auto add = [&](std::initializer_list<double> fields) {
        for (double f : fields) h = mix(h, static_cast<uint64_t>(static_cast<int64_t>(f * 4)));
    };
    for (int32_t i = 0; i < PLAYERS.d1; ++i) add({double(PLAYERS.at(i).x), double(PLAYERS.at(i).y)});
    for (int32_t i = 0; i < STARFISH.d1; ++i) {
        const Starfish& s = STARFISH.at(i);
        add({double(s.x), double(s.y), double(s.heading), double(s.moving)});
    }
    for (int32_t i = 0; i < CRABS.d1; ++i) add({double(CRABS.at(i).x), double(CRABS.at(i).y), double(CRABS.at(i).heading)});
    for (int32_t i = 0; i < FISH.d1; ++i) add({FISH.at(i).x, FISH.at(i).y, FISH.at(i).heading});
    for (int32_t i = 0; i < ANGLERS.d1; ++i) {
        add({double(ANGLERS.at(i).x), double(ANGLERS.at(i).y), double(ANGLERS.at(i).heading)});
    }
    for (int32_t i = 0; i < OCTOPUSES.d1; ++i) {
        const Octopus& o = OCTOPUSES.at(i);
        add({double(o.x), double(o.y), double(o.heading), double(o.jumpLeft)});
    }
    for (int32_t i = 0; i < SPONGES.d1; ++i) add({double(SPONGES.at(i).x), double(SPONGES.at(i).y)});
    for (int32_t i = 0; i < BOULDERS.d1; ++i) add({double(BOULDERS.at(i).x), double(BOULDERS.at(i).y)});
    for (int32_t i = 0; i < BOMBS.d1; ++i) add({double(BOMBS.at(i).x), double(BOMBS.at(i).y), double(BOMBS.at(i).fallCount)});
    for (int32_t i = 0; i < OYSTERS.d1; ++i) add({double(OYSTERS.at(i).state)});
    add({double(MINES.d1), double(PEARLS.d1), double(GEMS.d1)});
    return h;
}

}  // namespace levels
