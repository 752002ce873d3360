// The landscape: a rolling playing field in a ring of ridged mountains, its
// colour map and the detail texture.
#include "datagen.h"
#include "noise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace dg {

// How far (world units) a point lies outside the playing field's rectangle,
// widened by a margin so the field's edges are as gentle as its middle.
static float DistanceOutsideField(float x, float z) {
    const float margin = 250.0f;
    float dx = std::max({kFieldMinX - margin - x, 0.0f, x - kFieldMaxX - margin});
    float dz = std::max({kFieldMinZ - margin - z, 0.0f, z - kFieldMaxZ - margin});
    return std::sqrt(dx * dx + dz * dz);
}

float TerrainWorldHeight(float x, float z) {
    // Gentle hills of the playing field: about 40 ... 200 units.
    float gentle = 110.0f + 130.0f * Fbm2(x / 1800.0f, z / 1800.0f, 4, 11u) +
                   14.0f * Noise2(x / 300.0f, z / 300.0f, 12u);
    // Mountains: ridged noise, crests up to the top of the byte range, with
    // broad valleys between the ranges.
    float ridge = Ridged2(x / 4200.0f + 7.3f, z / 4200.0f - 2.1f, 6, 23u);
    float valley = 0.5f + 0.5f * Fbm2(x / 6000.0f, z / 6000.0f, 3, 31u);
    float mountain = 110.0f + 700.0f * std::pow(ridge, 1.2f) * (0.6f + 0.55f * valley);
    // Inside the field only the hills; beyond it the mountains rise over
    // about 1.2 km and stay in view within the drawn 3.2 km.
    float m = SmoothStep(150.0f, 1300.0f, DistanceOutsideField(x, z));
    float h = Mix(gentle, std::max(gentle, mountain), m);
    return Clamp(h, 0.0f, 760.0f);
}

// Ground colours by height and slope.
struct Rgb {
    float r, g, b;
};
static Rgb MixRgb(Rgb a, Rgb b, float t) {
    return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)};
}

static Rgb GroundColour(float h, float slope, float x, float z) {
    float n = Fbm2(x / 300.0f, z / 300.0f, 3, 41u);
    float fine = Noise2(x / 40.0f, z / 40.0f, 43u);
    Rgb grassA{0.30f, 0.42f, 0.16f}, grassB{0.40f, 0.46f, 0.20f};
    Rgb earth{0.47f, 0.38f, 0.25f}, rock{0.52f, 0.50f, 0.47f}, snow{0.93f, 0.94f, 0.96f};
    Rgb c = MixRgb(grassA, grassB, 0.5f + 0.5f * n);
    // Earth on steeper slopes and above the meadows, rock higher and steeper.
    c = MixRgb(
        c, earth,
        Clamp(SmoothStep(0.3f, 0.6f, slope) + 0.6f * SmoothStep(280.0f, 380.0f, h + 30.0f * n), 0,
              1));
    c = MixRgb(
        c, rock,
        Clamp(SmoothStep(0.65f, 1.1f, slope) + SmoothStep(400.0f, 500.0f, h + 40.0f * n), 0, 1));
    c = MixRgb(c, snow,
               SmoothStep(560.0f, 620.0f, h + 30.0f * n) * (1.0f - SmoothStep(1.1f, 1.6f, slope)));
    float k = 1.0f + 0.06f * fine;
    return {c.r * k, c.g * k, c.b * k};
}

void GenerateTerrain(Output& out) {
    // Heights on the full grid; sample (gx, gz) sits at world
    // (gx * 10 - 10240, gz * 10 - 10240). The noise is evaluated on every
    // other sample and filled in bilinearly: the game builds its ground from
    // every eighth sample, so nothing of the shape is lost, and it keeps the
    // generator fast.
    const int coarse = kMapSide / 2 + 1;
    std::vector<float> c(static_cast<size_t>(coarse) * coarse);
    for (int j = 0; j < coarse; ++j)
        for (int i = 0; i < coarse; ++i)
            c[j * coarse + i] = TerrainWorldHeight(2 * i * kSampleSpacing - kMapOffset,
                                                   2 * j * kSampleSpacing - kMapOffset);
    std::vector<float> height(static_cast<size_t>(kMapSide) * kMapSide);
    for (int gz = 0; gz < kMapSide; ++gz)
        for (int gx = 0; gx < kMapSide; ++gx) {
            const int i = gx / 2, j = gz / 2;
            const float fx = (gx & 1) * 0.5f, fz = (gz & 1) * 0.5f;
            const float a = Mix(c[j * coarse + i], c[j * coarse + i + 1], fx);
            const float b = Mix(c[(j + 1) * coarse + i], c[(j + 1) * coarse + i + 1], fx);
            height[gz * kMapSide + gx] = Mix(a, b, fz);
        }
    // The game keeps trunc(byte * 0.3) * 10 world units: a byte is about a
    // third of the height.
    std::vector<uint8_t> raw(height.size());
    for (size_t i = 0; i < height.size(); ++i)
        raw[i] = static_cast<uint8_t>(Clamp(std::round(height[i] / 3.0f), 0.0f, 255.0f));
    out.Bytes("Terrains/Terrain.raw", raw);

    // Colour map: the game stretches it once over the map with s = gx / 2048
    // and t = -gz / 2048 (repeating), so picture row y from the top covers
    // grid rows 2y and 2y + 1, and column x covers grid columns 2x, 2x + 1.
    const int side = 1024;
    Image colour(side, side);
    auto h = [&](int gx, int gz) {
        gx = std::clamp(gx, 0, kMapSide - 1), gz = std::clamp(gz, 0, kMapSide - 1);
        return height[gz * kMapSide + gx];
    };
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            int gx = 2 * x, gz = 2 * y;
            float hc = 0.25f * (h(gx, gz) + h(gx + 1, gz) + h(gx, gz + 1) + h(gx + 1, gz + 1));
            float dx = (h(gx + 5, gz) - h(gx - 4, gz)) / (9.0f * kSampleSpacing);
            float dz = (h(gx, gz + 5) - h(gx, gz - 4)) / (9.0f * kSampleSpacing);
            float slope = std::sqrt(dx * dx + dz * dz);
            float wx = (gx + 1) * kSampleSpacing - kMapOffset,
                  wz = (gz + 1) * kSampleSpacing - kMapOffset;
            Rgb c = GroundColour(hc, slope, wx, wz);
            // Baked light from the north-west: the game's models and ground
            // get almost flat lighting, so relief has to be in the picture.
            Vec3 n = Normalized({-dx, 1.0f, -dz});
            float shade = Clamp(0.82f + 0.3f * Dot(n, Normalized({-0.5f, 0.8f, -0.35f})) - 0.24f,
                                0.6f, 1.15f);
            colour.Set(x, y, c.r * shade, c.g * shade, c.b * shade);
        }
    out.Bmp("Terrains/Terrain.bmp", colour);

    // Detail layer: repeated once per terrain cell and scaled by 2 in the
    // game, so it must tile and average 128 (a factor of one).
    const int ds = 256;
    std::vector<float> d(ds * ds);
    double sum = 0.0;
    for (int y = 0; y < ds; ++y)
        for (int x = 0; x < ds; ++x) {
            float v = 0.6f * Fbm2(x / 32.0f, y / 32.0f, 4, 51u, 8) +
                      0.4f * Noise2(x / 8.0f, y / 8.0f, 53u, 32);
            d[y * ds + x] = v;
            sum += v;
        }
    float mean = static_cast<float>(sum / d.size());
    Image detail(ds, ds);
    for (int y = 0; y < ds; ++y)
        for (int x = 0; x < ds; ++x) {
            float g = (128.0f + 70.0f * (d[y * ds + x] - mean)) / 255.0f;
            detail.Set(x, y, g, g, g);
        }
    out.Bmp("Terrains/Detail.bmp", detail);
}

RgbaImage MakeValleyStill(int width, int height) {
    // The eye stands in the north of the field and looks north (+z), level, with the
    // game's 3.2 km of drawn ground; each column marches out over the ground and paints what
    // rises above the rows already painted (nearer ground hides farther ground).
    constexpr float kEyeX = -1100.0f, kEyeZ = 1100.0f, kEyeAbove = 60.0f, kFar = 3200.0f;
    const float eyeY = TerrainWorldHeight(kEyeX, kEyeZ) + kEyeAbove;
    const float focal = static_cast<float>(width) * 0.9f; // about 58 degrees across
    const float horizon = static_cast<float>(height) * 0.45f;
    RgbaImage still(width, height);
    auto put = [&](int x, int y, Rgb c) {
        uint8_t* p = still.At(x, y);
        p[0] = static_cast<uint8_t>(std::lround(Clamp(c.r, 0.0f, 1.0f) * 255.0f));
        p[1] = static_cast<uint8_t>(std::lround(Clamp(c.g, 0.0f, 1.0f) * 255.0f));
        p[2] = static_cast<uint8_t>(std::lround(Clamp(c.b, 0.0f, 1.0f) * 255.0f));
        p[3] = 255;
    };
    const Rgb fog{kFogR, kFogG, kFogB}, zenith{0.35f, 0.55f, 0.85f};
    for (int x = 0; x < width; ++x) {
        const float side = (static_cast<float>(x) + 0.5f - static_cast<float>(width) / 2) / focal;
        int lowest = height; // the first row not painted yet, from the bottom
        float before = eyeY - kEyeAbove;
        for (float depth = 10.0f; depth < kFar && lowest > 0; depth += 2.0f + depth * 0.01f) {
            const float wx = kEyeX + side * depth, wz = kEyeZ + depth;
            const float h = TerrainWorldHeight(wx, wz);
            const float row = horizon + (eyeY - h) * focal / depth;
            // Ground rising towards the eye catches more light; the fog takes the distance.
            const float rise = (h - before) / (2.0f + depth * 0.01f);
            Rgb c = GroundColour(h, std::fabs(rise), wx, wz);
            const float light = Clamp(0.85f + 0.6f * rise, 0.6f, 1.2f);
            c = MixRgb({c.r * light, c.g * light, c.b * light}, fog,
                       0.8f * SmoothStep(0.0f, kFar, depth));
            before = h;
            for (int y = std::max(0, static_cast<int>(row)); y < lowest; ++y)
                put(x, y, c);
            lowest = std::min(lowest, std::max(0, static_cast<int>(row)));
        }
        for (int y = 0; y < lowest; ++y) // the sky, fading into the fog at the horizon
            put(x, y, MixRgb(zenith, fog, Clamp(static_cast<float>(y) / horizon, 0.0f, 1.0f)));
    }
    return still;
}

} // namespace dg
