// The runtime's random numbers: the 32-bit ISAAC generator, seeded from one
// number. Each draw runs a whole round of 256 steps and uses its first result.
#pragma once
#include <cstdint>

struct IsaacState {
    uint32_t count;  // 256 after seeding; read by nobody
    uint32_t results[256];
    uint32_t memory[256];
    uint32_t a, b, c;
};

extern IsaacState isaacState;  // all zero at start

// Seeds from a number: eight golden-ratio words take the seed in 32 rounds
// of mixing, then initialise the state as the published generator does.
void isaacSeed(uint32_t seed);
// The published initialisation from the results array as seed material,
// starting from the eight given words: four more mixes, a pass over results,
// a pass over memory, one round; count becomes 256.
void isaacInitFromWords(const uint32_t words[8]);
// One full round; returns results[0].
uint32_t isaacNext();

void SeedRandom(int32_t seed);
// 0 to n inclusive from one draw (unsigned, modulo n + 1); 0 without a draw
// when n is below 1.
int32_t RandomInt(int32_t n);
