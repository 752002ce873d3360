#include "noise.h"

#include <cmath>

namespace dg {

uint32_t Hash3(int32_t x, int32_t y, int32_t z, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
    h = (h ^ (h >> 15)) * 0x2C1B3C6Du;
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE35u;
    h = (h ^ (h >> 13)) * 0x297A2D39u;
    h ^= static_cast<uint32_t>(z) * 0x27D4EB2Fu;
    h = (h ^ (h >> 16)) * 0x85EBCA6Bu;
    return h ^ (h >> 15);
}

float HashUnit(uint32_t h) {
    return (h >> 8) * (1.0f / 16777216.0f);
}

static float Fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

static int Wrap(int v, int period) {
    if (period <= 0)
        return v;
    int r = v % period;
    return r < 0 ? r + period : r;
}

// Sixteen unit gradients around the circle.
static const float kGrad2[16][2] = {
    {1.0f, 0.0f},  {0.9239f, 0.3827f},   {0.7071f, 0.7071f},   {0.3827f, 0.9239f},
    {0.0f, 1.0f},  {-0.3827f, 0.9239f},  {-0.7071f, 0.7071f},  {-0.9239f, 0.3827f},
    {-1.0f, 0.0f}, {-0.9239f, -0.3827f}, {-0.7071f, -0.7071f}, {-0.3827f, -0.9239f},
    {0.0f, -1.0f}, {0.3827f, -0.9239f},  {0.7071f, -0.7071f},  {0.9239f, -0.3827f}};

static float Corner2(int ix, int iy, float dx, float dy, uint32_t seed, int period) {
    uint32_t h = Hash3(Wrap(ix, period), Wrap(iy, period), 0, seed) & 15u;
    return kGrad2[h][0] * dx + kGrad2[h][1] * dy;
}

float Noise2(float x, float y, uint32_t seed, int period) {
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float fx = x - ix, fy = y - iy;
    float u = Fade(fx), v = Fade(fy);
    float a = Corner2(ix, iy, fx, fy, seed, period);
    float b = Corner2(ix + 1, iy, fx - 1.0f, fy, seed, period);
    float c = Corner2(ix, iy + 1, fx, fy - 1.0f, seed, period);
    float d = Corner2(ix + 1, iy + 1, fx - 1.0f, fy - 1.0f, seed, period);
    float ab = a + (b - a) * u, cd = c + (d - c) * u;
    return (ab + (cd - ab) * v) * 1.4142f;
}

static float Corner3(int ix, int iy, int iz, float dx, float dy, float dz, uint32_t seed) {
    uint32_t h = Hash3(ix, iy, iz, seed) % 12u;
    // The twelve edge directions of a cube.
    static const float g[12][3] = {{1, 1, 0}, {-1, 1, 0}, {1, -1, 0}, {-1, -1, 0},
                                   {1, 0, 1}, {-1, 0, 1}, {1, 0, -1}, {-1, 0, -1},
                                   {0, 1, 1}, {0, -1, 1}, {0, 1, -1}, {0, -1, -1}};
    return g[h][0] * dx + g[h][1] * dy + g[h][2] * dz;
}

float Noise3(float x, float y, float z, uint32_t seed) {
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y)),
        iz = static_cast<int>(std::floor(z));
    float fx = x - ix, fy = y - iy, fz = z - iz;
    float u = Fade(fx), v = Fade(fy), w = Fade(fz);
    float r[2][2][2];
    for (int k = 0; k < 2; ++k)
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i)
                r[k][j][i] = Corner3(ix + i, iy + j, iz + k, fx - i, fy - j, fz - k, seed);
    float x00 = r[0][0][0] + (r[0][0][1] - r[0][0][0]) * u;
    float x10 = r[0][1][0] + (r[0][1][1] - r[0][1][0]) * u;
    float x01 = r[1][0][0] + (r[1][0][1] - r[1][0][0]) * u;
    float x11 = r[1][1][0] + (r[1][1][1] - r[1][1][0]) * u;
    float y0 = x00 + (x10 - x00) * v, y1 = x01 + (x11 - x01) * v;
    return y0 + (y1 - y0) * w;
}

float Fbm2(float x, float y, int octaves, uint32_t seed, int period) {
    float sum = 0.0f, amp = 1.0f, norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * Noise2(x, y, seed + o * 101u, period);
        norm += amp;
        amp *= 0.5f;
        x *= 2.0f, y *= 2.0f;
        if (period > 0)
            period *= 2;
    }
    return sum / norm;
}

float Fbm3(float x, float y, float z, int octaves, uint32_t seed) {
    float sum = 0.0f, amp = 1.0f, norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * Noise3(x, y, z, seed + o * 101u);
        norm += amp;
        amp *= 0.5f;
        x *= 2.0f, y *= 2.0f, z *= 2.0f;
    }
    return sum / norm;
}

float Ridged2(float x, float y, int octaves, uint32_t seed) {
    float sum = 0.0f, amp = 1.0f, norm = 0.0f, weight = 1.0f;
    for (int o = 0; o < octaves; ++o) {
        float n = 1.0f - std::fabs(Noise2(x, y, seed + o * 131u));
        n *= n;
        // Finer octaves are stronger on the crests than in the valleys.
        float contrib = n * weight;
        weight = n < 1.0f ? (n > 0.0f ? n : 0.0f) : 1.0f;
        sum += amp * contrib;
        norm += amp;
        amp *= 0.5f;
        x *= 2.0f, y *= 2.0f;
    }
    return sum / norm;
}

uint32_t Rng::Next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    uint32_t xorshifted = static_cast<uint32_t>(((state >> 18u) ^ state) >> 27u);
    uint32_t rot = static_cast<uint32_t>(state >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

} // namespace dg
