#include "terrain/height_map.h"

#include "basics/geometry.h"
#include "platform/data_path.h"
#include "platform/platform.h"

#include <cmath>
#include <cstdio>

uint8_t HeightMap[kHeightMapBytes];

namespace {

// Into 0 ... 2047, negative coordinates included.
int WrapGrid(int g) {
    const int r = g % kHeightMapSide;
    return r < 0 ? r + kHeightMapSide : r;
}

} // namespace

int GridCoordinate(float c) {
    double g = (static_cast<double>(c) + kMapOffset) / kSampleSpacing;
    constexpr double kLimit = 1.0e8;
    if (!(g > -kLimit)) {
        g = std::isnan(g) ? 0.0 : -kLimit;
    } else if (g > kLimit) {
        g = kLimit;
    }
    return static_cast<int>(g);
}

int CellCorner(float c) {
    const int g = GridCoordinate(c);
    return g - g % kCellSize;
}

void LoadHeightMap(const char* path, int size, uint8_t* buffer) {
    char resolved[1024];
    FILE* file = nullptr;
    if (path != nullptr && ResolveDataPath(path, resolved, sizeof(resolved))) {
        file = std::fopen(resolved, "rb");
    }
    if (file == nullptr) {
        // The buffer keeps its zeros: flat ground at height 0.
        ShowDataError("Can't find the height map!");
        return;
    }
    if (buffer == nullptr || size < 0) {
        size = 0;
    }
    // A short file leaves the rest of the buffer as it was; all of it is scaled below.
    std::fread(buffer, 1, static_cast<size_t>(size), file);
    for (int i = 0; i < size; ++i) {
        buffer[i] = static_cast<uint8_t>(static_cast<int>(buffer[i] * kHeightLoadFactor));
    }
    if (std::ferror(file)) {
        ShowDataError("Can't get data!");
    }
    std::fclose(file);
}

int GridHeight(const uint8_t* map, int gx, int gz) {
    if (map == nullptr) {
        return 0;
    }
    return map[WrapGrid(gx) + WrapGrid(gz) * kHeightMapSide];
}

float TerrainHeight(const uint8_t* map, float x, float z) {
    const int gx = CellCorner(x);
    const int gz = CellCorner(z);

    // Corners in grid units first, then scaled as a whole into map-space world units.
    auto corner = [map](int cx, int cz) {
        const tVec3 p(static_cast<float>(cx), static_cast<float>(GridHeight(map, cx, cz)),
                      static_cast<float>(cz));
        return p * static_cast<float>(kSampleSpacing);
    };
    const tVec3 p11 = corner(gx, gz);
    const tVec3 p12 = corner(gx, gz + kCellSize);
    const tVec3 p21 = corner(gx + kCellSize, gz);
    const tVec3 p22 = corner(gx + kCellSize, gz + kCellSize);

    // A vertical segment through the position, from the map floor to above the highest ground.
    const float mx = x + static_cast<float>(kMapOffset);
    const float mz = z + static_cast<float>(kMapOffset);
    const tVec3 vRayLine[2] = {{mx, 0.0f, mz}, {mx, kRayTop, mz}};

    const tVec3 vPol1[3] = {p11, p12, p21};
    const tVec3 vPol2[3] = {p12, p21, p22};
    // The second triangle's plane is taken whether or not the probe lies inside it: that covers
    // the shared diagonal's corner cases and positions off the first cell.
    const tVec3 ip = SegmentHitsPolygon(vPol1, vRayLine, 3) ? SegmentPlaneHit(vPol1, vRayLine)
                                                            : SegmentPlaneHit(vPol2, vRayLine);
    return ip.y;
}
