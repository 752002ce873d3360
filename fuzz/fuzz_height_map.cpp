// Height maps: a raw file of any length loads (a short one quietly leaves the rest of the map as
// it was), and the height query then answers at any position, on or far off the map, with a
// height between the probe's ends, never reading outside the map.
#include "fuzz/fuzz_quiet.h"
#include "terrain/height_map.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

namespace {

std::string FilePath;

// The map's first 16 rows (inputs run shorter and longer than that): the loader reads and scales
// any size the same way, and scaling all 4 MiB on every input would leave the fuzzer a few dozen
// runs a second. The rest of the map stays zero and is still probed, since the query wraps over the
// whole map.
constexpr int kLoadBytes = kHeightMapSide * 16;

// Positions every run asks about: the middle, the map's edges and just past them, the first
// cell's off-map strip, and values far beyond any map.
constexpr float kFixedPositions[][2] = {
    {0.0f, 0.0f},           {-10240.0f, -10240.0f}, {10240.0f, 10240.0f},
    {-10320.0f, -10321.0f}, {-10300.0f, 10235.5f},  {20479.9f, -0.5f},
    {1.0e30f, -1.0e30f},    {-3.0e9f, 3.0e9f},      {5.0f, -5.0f},
};

void Probe(float x, float z) {
    const float h = TerrainHeight(HeightMap, x, z);
    // On the map and off it, the answer is a point of the vertical probe from 0 to kRayTop.
    if (std::isfinite(x) && std::isfinite(z) && std::fabs(x) < 1.0e6f && std::fabs(z) < 1.0e6f &&
        !(h >= 0.0f && h <= kRayTop)) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QuietDialogs();
    FilePath = EnterScratchDir("ostravel_fuzz_height_map") + "/Terrain.raw";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(FilePath.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    // The map as before the game's one load: all zero.
    std::memset(HeightMap, 0, kLoadBytes);
    LoadHeightMap(FilePath.c_str(), kLoadBytes, HeightMap);
    if (!TestPlatformState().boxes.empty()) {
        __builtin_trap(); // a file that opens is read quietly, however short
    }
    for (const auto& p : kFixedPositions) {
        Probe(p[0], p[1]);
    }
    // Then the input's own first bytes as positions, NaN and infinities included.
    for (size_t at = 0; at + 8 <= size && at < 64; at += 8) {
        float xz[2];
        std::memcpy(xz, data + at, sizeof(xz));
        Probe(xz[0], xz[1]);
    }
    ForgetBoxes();
    return 0;
}
