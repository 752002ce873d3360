// Deterministic noise for terrain, skies and skins. Every function is a pure
// function of its arguments and seed, so the generated files are the same on
// every run. A period > 0 makes the lattice wrap, which gives tileable noise
// (period counted in lattice cells at the first octave).
#pragma once

#include <cstdint>

namespace dg {

// 32-bit integer hash of a lattice point.
uint32_t Hash3(int32_t x, int32_t y, int32_t z, uint32_t seed);
// Uniform float in [0, 1) from a hash.
float HashUnit(uint32_t h);

// Gradient noise in about [-1, 1].
float Noise2(float x, float y, uint32_t seed, int period = 0);
float Noise3(float x, float y, float z, uint32_t seed);

// Sum of octaves (lacunarity 2, gain 0.5), normalised to about [-1, 1].
float Fbm2(float x, float y, int octaves, uint32_t seed, int period = 0);
float Fbm3(float x, float y, float z, int octaves, uint32_t seed);
// Ridged octaves in [0, 1]: sharp crests where the noise crosses zero.
float Ridged2(float x, float y, int octaves, uint32_t seed);

// A small reproducible random stream (for placements, sound).
struct Rng {
    uint64_t state;
    explicit Rng(uint64_t seed) : state(seed * 6364136223846793005ull + 1442695040888963407ull) {}
    uint32_t Next();
    float Unit() { return (Next() >> 8) * (1.0f / 16777216.0f); }
    float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }
};

} // namespace dg
