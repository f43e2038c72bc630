// Snapshots of the game in play. Depends on the game state (game_state.h),
// the random generator's state (isaac.h) and the in-game loop's values.
#include "play/game_snapshot.h"

#include <cstring>

#include "game/world/game_state.h"
#include "runtime/services/isaac.h"

namespace levels {

namespace {
// What a snapshot copies: the globals of the Play group (game_state.h).
template <class Copy>
void forEachPlayGlobal(Copy&& copy) {
    forEachGameGlobal([&](auto group, auto& global) {
        if constexpr (decltype(group)::value == GameGlobalGroup::Play) copy(global);
    });
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
    void global(int32_t v) { value(v); }
    void global(double v) { value(v); }
    template <class T>
    void global(const RtArray<T>& a) { array(a); }
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
    void global(int32_t& v) { value(v); }
    void global(double& v) { value(v); }
    void global(RtArray<int>& a) { grid(a); }
    template <class T>
    void global(RtArray<T>& a) { family(a); }
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
    forEachPlayGlobal([&](const auto& global) { w.global(global); });
    w.value(isaacState);
    w.value(loop);
}

void GameSnapshot::restore(GameLoop& loop) const {
    Reader r(data_);
    forEachPlayGlobal([&](auto& global) { r.global(global); });
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
