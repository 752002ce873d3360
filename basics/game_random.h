// The game's random generator: the enemies' firing chances and the blood spray draw from it.
// It is an additive lagged-Fibonacci generator (x[n] = x[n-3] + x[n-31] mod 2^32, the low bit
// dropped) seeded through the Park-Miller multiplier, which is the sequence the GNU C library's
// rand() gives for the same srand() seed. Owning it keeps a seed's draws the same on every C
// library, so a recording plays the same on any machine and in the browser.
#pragma once

#include <cstdint>

// The largest value GameRandom returns (that of RAND_MAX on the GNU C library).
constexpr int32_t kGameRandomMax = 2147483647;

// ---- a loaded level: seeded at world loading ----

// Starts the sequence of the given seed (0 gives the sequence of 1).
void SeedGameRandom(uint32_t seed);
// The next draw, 0 ... kGameRandomMax. Before any seeding the sequence is that of seed 1.
int32_t GameRandom();
