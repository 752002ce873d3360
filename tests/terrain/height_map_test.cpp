// The raw height file and the ground query: scaling at load, the two triangles of a cell, the
// shared diagonal, and positions on and off the map edges.
#include "platform/platform_test.h"
#include "terrain/height_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

void SetSample(std::vector<uint8_t>& map, int gx, int gz, uint8_t value) {
    map[static_cast<size_t>(gx) + static_cast<size_t>(gz) * kHeightMapSide] = value;
}

} // namespace

TEST(HeightMapLoad, BytesAreScaledOnceAndAMissingFileIsFlat) {
    tTestPlatformState& platform = ResetTestPlatform();
    // 255 -> 76 (76.5 truncates), 3 -> 0, 10 -> 3, 100 -> 30; the file is shorter than the
    // buffer, so the last bytes keep their zeros (scaled, still zero).
    const std::string path = WriteBytes("terrain_small.raw", {255, 3, 10, 100, 4});
    std::vector<uint8_t> buffer(8, 0);
    LoadHeightMap(path.c_str(), 8, buffer.data());
    EXPECT_EQ(buffer, (std::vector<uint8_t>{76, 0, 3, 30, 1, 0, 0, 0}));
    EXPECT_TRUE(platform.boxes.empty());

    // A data name with backslashes and other case finds the file.
    std::string asked = testing::TempDir() + "TERRAIN_small.RAW";
    for (char& c : asked) {
        c = c == '/' ? '\\' : c;
    }
    std::vector<uint8_t> again(5, 0);
    LoadHeightMap(asked.c_str(), 5, again.data());
    EXPECT_EQ(again[0], 76);

    std::vector<uint8_t> untouched(4, 9);
    LoadHeightMap("Data\\Terrains\\NoSuchTerrain.raw", 4, untouched.data());
    EXPECT_EQ(untouched, (std::vector<uint8_t>(4, 9)));
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, "Error");
    EXPECT_EQ(platform.boxes[0].text, "Can't find the height map!");
    EXPECT_EQ(platform.boxes[0].buttons, kButtonsOk);
}

TEST(HeightQuery, CornersTrianglesAndDiagonal) {
    // The cell at grid (1024, 1024), world (0, 0) ... (80, 80), with four different corners.
    std::vector<uint8_t> map(kHeightMapBytes, 0);
    const int h11 = 20, h12 = 30, h21 = 50, h22 = 10;
    SetSample(map, 1024, 1024, h11);
    SetSample(map, 1024, 1032, h12);
    SetSample(map, 1032, 1024, h21);
    SetSample(map, 1032, 1032, h22);
    EXPECT_EQ(GridHeight(map.data(), 1032, 1024), h21);
    EXPECT_EQ(GridHeight(nullptr, 1032, 1024), 0);

    // u along x, v along z, both 0 ... 1 over the cell; the first triangle is u + v < 1.
    auto first = [&](float u, float v) {
        return 10.0f * (h11 + u * (h21 - h11) + v * (h12 - h11));
    };
    auto second = [&](float u, float v) {
        return 10.0f * (h22 + (1 - u) * (h12 - h22) + (1 - v) * (h21 - h22));
    };
    struct tCase {
        float x, z, expected;
        const char* what;
    };
    const tCase cases[] = {
        {20.0f, 20.0f, first(0.25f, 0.25f), "inside the first triangle"},
        {10.0f, 50.0f, first(0.125f, 0.625f), "first triangle, near the p12 side"},
        {60.0f, 60.0f, second(0.75f, 0.75f), "inside the second triangle"},
        {70.0f, 30.0f, second(0.875f, 0.375f), "second triangle, near the p21 side"},
        {40.0f, 40.0f, first(0.5f, 0.5f), "on the diagonal"},
        {40.0f, 40.0f, second(0.5f, 0.5f), "on the diagonal, from the other side"},
        {25.0f, 55.0f, first(0.3125f, 0.6875f), "on the diagonal, off centre"},
        // The corner p11 is not inside the first triangle: the second's plane gives the height.
        {0.0f, 0.0f, 10.0f * (h12 + h21 - h22), "on the corner p11"},
    };
    for (const tCase& c : cases) {
        EXPECT_NEAR(TerrainHeight(map.data(), c.x, c.z), c.expected, 0.05f) << c.what;
    }
    // Both triangles agree along the whole diagonal, and the height is linear on each.
    for (float t = 0.05f; t < 1.0f; t += 0.1f) {
        const float x = 80.0f * t, z = 80.0f * (1.0f - t);
        EXPECT_NEAR(TerrainHeight(map.data(), x, z), first(t, 1.0f - t), 0.05f) << t;
    }
    EXPECT_EQ(TerrainHeight(nullptr, 20.0f, 20.0f), 0.0f);
    // Flat ground at 0: the probe starts on the plane, and the query answers 0.
    std::vector<uint8_t> flat(kHeightMapBytes, 0);
    EXPECT_EQ(TerrainHeight(flat.data(), 123.0f, -456.0f), 0.0f);
}

TEST(HeightQuery, EdgesWrapAndFarPositionsStayInside) {
    std::vector<uint8_t> map(kHeightMapBytes, 7);
    // Grid coordinates wrap both ways: 2048 is 0, -1 is 2047.
    SetSample(map, 0, 0, 40);
    SetSample(map, 2047, 2047, 50);
    EXPECT_EQ(GridHeight(map.data(), 2048, 4096), 40);
    EXPECT_EQ(GridHeight(map.data(), -1, -1), 50);
    EXPECT_EQ(GridHeight(map.data(), -2049, 2047), 50);
    EXPECT_EQ(
        GridHeight(map.data(), std::numeric_limits<int>::min(), std::numeric_limits<int>::max()),
        map[static_cast<size_t>(0) + 2047u * kHeightMapSide]);

    // A cell near the far edge of the map reads the first samples again, so world x = 10240 + d
    // has the height of x = -10240 + d (same cell corners, same offsets).
    SetSample(map, 8, 0, 20);
    SetSample(map, 0, 8, 30);
    for (const float d : {10.0f, 35.0f, 70.0f}) {
        EXPECT_NEAR(TerrainHeight(map.data(), 10240.0f + d, -10240.0f + d),
                    TerrainHeight(map.data(), -10240.0f + d, -10240.0f + d), 0.1f)
            << d;
    }

    // Off the map at any distance: flat samples give the flat height, and no read leaves the
    // array (the sanitizer build checks).
    std::vector<uint8_t> level(kHeightMapBytes, 7);
    for (const float far :
         {-10250.0f, -10330.0f, -20000.0f, -1.0e9f, 25000.0f, 1.0e9f, 1.0e30f, -1.0e30f}) {
        EXPECT_NEAR(TerrainHeight(level.data(), far, 100.0f), 70.0f, 0.01f) << far;
        EXPECT_NEAR(TerrainHeight(level.data(), 100.0f, far), 70.0f, 0.01f) << far;
    }
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    TerrainHeight(level.data(), nan, nan);
    TerrainHeight(level.data(), inf, -inf);
}
