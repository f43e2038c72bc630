// The ISAAC generator.
#include "runtime/services/isaac.h"

#include <cstring>

IsaacState isaacState = {};

namespace {

void mix(uint32_t w[8]) {
    uint32_t& a = w[0]; uint32_t& b = w[1]; uint32_t& c = w[2]; uint32_t& d = w[3];
    uint32_t& e = w[4]; uint32_t& f = w[5]; uint32_t& g = w[6]; uint32_t& h = w[7];
    a ^= b << 11; d += a; b += c;
    b ^= c >> 2;  e += b; c += d;
    c ^= d << 8;  f += c; d += e;
    d ^= e >> 16; g += d; e += f;
    e ^= f << 10; h += e; f += g;
    f ^= g >> 4;  a += f; g += h;
    g ^= h << 8;  b += g; h += a;
    h ^= a >> 9;  c += h; a += b;
}

// Adds eight words of `source` at i to w, mixes, stores w into memory at i.
void seedPass(const uint32_t* source, uint32_t w[8]) {
    for (int i = 0; i < 256; i += 8) {
        for (int k = 0; k < 8; ++k) w[k] += source[i + k];
        mix(w);
        for (int k = 0; k < 8; ++k) isaacState.memory[i + k] = w[k];
    }
}

}  // namespace

void isaacInitFromWords(const uint32_t words[8]) {
    uint32_t w[8];
    std::memcpy(w, words, sizeof w);
    for (int i = 0; i < 4; ++i) mix(w);
    seedPass(isaacState.results, w);
    seedPass(isaacState.memory, w);
    isaacNext();
    isaacState.count = 256;
}

void isaacSeed(uint32_t seed) {
    std::memset(&isaacState, 0, sizeof isaacState);
    uint32_t w[8];
    for (uint32_t& word : w) word = 0x9e3779b9u;  // the golden ratio
    for (int i = 0; i < 32; ++i) {
        w[0] += seed;
        mix(w);
    }
    isaacInitFromWords(w);
}

uint32_t isaacNext() {
    IsaacState& s = isaacState;
    uint32_t a = s.a;
    uint32_t b = s.b + ++s.c;
    for (int i = 0; i < 256; ++i) {
        uint32_t x = s.memory[i];
        switch (i & 3) {
            case 0: a ^= a << 13; break;
            case 1: a ^= a >> 6; break;
            case 2: a ^= a << 2; break;
            default: a ^= a >> 16; break;
        }
        a += s.memory[(i + 128) & 255];
        uint32_t y = s.memory[(x >> 2) & 255] + a + b;
        s.memory[i] = y;
        b = s.memory[(y >> 10) & 255] + x;
        s.results[i] = b;
    }
    s.a = a;
    s.b = b;
    return s.results[0];
}

void SeedRandom(int32_t seed) { isaacSeed(static_cast<uint32_t>(seed)); }

int32_t RandomInt(int32_t n) {
    if (n < 1) return 0;
    uint32_t draw = isaacNext();
    return static_cast<int32_t>(draw % (static_cast<uint32_t>(n) + 1u));
}
