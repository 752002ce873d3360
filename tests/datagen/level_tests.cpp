// The level file, the ground it stands on, and how the two fit together.
#include "test_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace dgtest;
namespace fs = std::filesystem;

namespace {

std::string D(const std::string& rel) {
    return DataDir() + "/" + rel;
}

constexpr float kMinX = -2800, kMaxX = 600, kMinZ = -400, kMaxZ = 1700;

const Level& TheLevel() {
    static const Level level = ReadLevel(D("Levels/Level01.olv"));
    return level;
}

std::string ModelDir(const LevelEntry& e) {
    return D("Models/" + (e.path == "NULL" ? "" : e.path));
}

// The game's collision radius: the first frame's half extents in the
// ground plane times the scale, truncated, then their length.
float GroundRadius(const LevelEntry& e) {
    Md2 m = ReadMd2(ModelDir(e) + "/" + e.file);
    float lo[2] = {1e9f, 1e9f}, hi[2] = {-1e9f, -1e9f};
    for (const Vec& v : m.frames.at(0)) {
        lo[0] = std::min(lo[0], v.x), hi[0] = std::max(hi[0], v.x);
        lo[1] = std::min(lo[1], v.y), hi[1] = std::max(hi[1], v.y);
    }
    int ix = static_cast<int>((hi[0] - lo[0]) / 2 * e.scale),
        iz = static_cast<int>((hi[1] - lo[1]) / 2 * e.scale);
    return static_cast<float>(std::sqrt(static_cast<double>(ix * ix + iz * iz)));
}

TEST(Level, CountsIdsAndKindsAreInTheirRanges) {
    const Level& l = TheLevel();
    ASSERT_TRUE(l.ok);
    EXPECT_GE(l.enemies, 8);
    EXPECT_LE(l.enemies, 12);
    EXPECT_EQ(l.letters, 5);
    EXPECT_GE(l.solid - l.letters, 20);
    EXPECT_LE(l.solid - l.letters, 60);
    EXPECT_GE(l.transparent, 40);
    EXPECT_LE(l.transparent, 150);
    const int enemyEnd = l.enemies, letterEnd = enemyEnd + l.letters, solidEnd = enemyEnd + l.solid,
              end = solidEnd + l.transparent;
    ASSERT_LE(end, 1000);
    ASSERT_EQ(static_cast<int>(l.entries.size()), end);
    std::set<int> ids;
    std::string word;
    for (const LevelEntry& e : l.entries) {
        SCOPED_TRACE("id " + std::to_string(e.id));
        EXPECT_TRUE(ids.insert(e.id).second) << "named twice";
        ASSERT_TRUE(e.id >= 0 && e.id < end);
        if (e.id < enemyEnd) {
            EXPECT_EQ(e.file, "Soldier.md2");
            EXPECT_EQ(e.loops, (std::vector<int>{0, 1}));
            EXPECT_EQ(e.map, "NULL");
            EXPECT_EQ(e.sub, "Weapon.md2");
            EXPECT_EQ(e.col, 1);
            EXPECT_FLOAT_EQ(e.y, 25.0f);
        } else if (e.id < letterEnd) {
            word += e.file.substr(0, 1);
            EXPECT_EQ(e.col, 0) << "letters do not block";
            EXPECT_TRUE(e.loops.empty());
        } else if (e.id < solidEnd) {
            EXPECT_EQ(e.map, "NULL");
            EXPECT_EQ(e.sub, "NULL");
            EXPECT_EQ(e.col, 1);
        } else {
            EXPECT_NE(e.map, "NULL") << "transparent scenery is masked";
        }
        EXPECT_GT(e.scale, 0.0f);
    }
    EXPECT_EQ(word, "KWERT");
}

TEST(Level, EveryReferencedFileExists) {
    for (const LevelEntry& e : TheLevel().entries) {
        const std::string dir = ModelDir(e);
        EXPECT_TRUE(fs::exists(dir + "/" + e.file)) << e.file;
        if (e.tex != "NULL") {
            EXPECT_TRUE(fs::exists(dir + "/" + e.tex)) << e.tex;
        }
        if (e.map != "NULL") {
            EXPECT_TRUE(fs::exists(dir + "/" + e.map)) << e.map;
        }
        if (!e.sub.empty() && e.sub != "NULL") {
            EXPECT_TRUE(fs::exists(dir + "/" + e.sub)) << e.sub;
            EXPECT_TRUE(fs::exists(dir + "/" + e.subTex)) << e.subTex;
        }
    }
}

TEST(Level, EveryLetterCanBeReachedOnFoot) {
    const Level& l = TheLevel();
    ASSERT_TRUE(l.ok);
    // Walkable cells of 10 units inside the eye's bounds, outside every
    // scenery collision circle (enemies move, so they are left out).
    struct Circle {
        float x, z, r;
    };
    std::vector<Circle> blocks;
    for (const LevelEntry& e : l.entries)
        if (e.col && e.id >= l.enemies)
            blocks.push_back({e.x, e.z, GroundRadius(e)});
    const int nx = static_cast<int>((kMaxX - kMinX) / 10) + 1,
              nz = static_cast<int>((kMaxZ - kMinZ) / 10) + 1;
    auto free = [&](int i, int k) {
        float x = kMinX + 10 * i, z = kMinZ + 10 * k;
        for (const Circle& c : blocks)
            if (c.r > std::hypot(x - c.x, z - c.z))
                return false;
        return true;
    };
    std::vector<char> reached(nx * nz, 0);
    const int si = static_cast<int>(-kMinX / 10), sk = static_cast<int>(-kMinZ / 10);
    ASSERT_TRUE(free(si, sk)) << "the start is blocked";
    std::vector<std::pair<int, int>> todo{{si, sk}};
    reached[si + sk * nx] = 1;
    while (!todo.empty()) {
        auto [i, k] = todo.back();
        todo.pop_back();
        const int d[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& s : d) {
            int a = i + s[0], b = k + s[1];
            if (a < 0 || b < 0 || a >= nx || b >= nz || reached[a + b * nx] || !free(a, b))
                continue;
            reached[a + b * nx] = 1;
            todo.push_back({a, b});
        }
    }
    for (int id = l.enemies; id < l.enemies + l.letters; ++id) {
        const LevelEntry& e = l.entries[id];
        ASSERT_EQ(e.id, id);
        EXPECT_TRUE(e.x > kMinX + 40 && e.x < kMaxX - 40 && e.z > kMinZ + 40 && e.z < kMaxZ - 40)
            << e.file;
        EXPECT_GT(std::hypot(e.x, e.z), 300.0f) << e.file << " is not at the start";
        bool near = false;
        for (int i = 0; i < nx && !near; ++i)
            for (int k = 0; k < nz && !near; ++k)
                near = reached[i + k * nx] &&
                       std::hypot(kMinX + 10 * i - e.x, kMinZ + 10 * k - e.z) < 30.0f;
        EXPECT_TRUE(near) << e.file << " cannot be reached";
    }
}

TEST(Level, EnemiesAreMetAFewAtATime) {
    const Level& l = TheLevel();
    ASSERT_TRUE(l.ok);
    const float wake = 640.0f;
    for (int a = 0; a < l.enemies; ++a) {
        const LevelEntry& e = l.entries[a];
        EXPECT_GT(std::hypot(e.x, e.z), wake + 100.0f) << "enemy " << a << " wakes at the start";
        int around = 0;
        for (int b = 0; b < l.enemies; ++b)
            around += b != a && std::hypot(e.x - l.entries[b].x, e.z - l.entries[b].z) < wake;
        EXPECT_LE(around, 3) << "enemy " << a;
    }
    for (int id = l.enemies; id < l.enemies + l.letters; ++id) {
        int awake = 0;
        for (int b = 0; b < l.enemies; ++b)
            awake += std::hypot(l.entries[id].x - l.entries[b].x,
                                l.entries[id].z - l.entries[b].z) < wake;
        EXPECT_LE(awake, 4) << l.entries[id].file;
    }
}

TEST(Terrain, FieldRollsGentlyBelowTheMountains) {
    std::vector<uint8_t> raw = ReadBytes(D("Terrains/Terrain.raw"));
    ASSERT_EQ(raw.size(), 2048u * 2048u);
    int lo = 1000, hi = 0, steepest = 0;
    for (float x = kMinX; x <= kMaxX; x += 80)
        for (float z = kMinZ; z <= kMaxZ; z += 80) {
            int h = CornerHeight(raw, x, z);
            lo = std::min(lo, h), hi = std::max(hi, h);
            steepest = std::max({steepest, std::abs(h - CornerHeight(raw, x + 80, z)),
                                 std::abs(h - CornerHeight(raw, x, z + 80))});
        }
    EXPECT_GT(hi - lo, 40) << "rolling, not flat";
    EXPECT_LE(steepest, 40) << "no steps steeper than 1 in 2";
    // Within the drawn 3.2 km of the field, mountains rise well above it.
    int peak = 0;
    for (float x = kMinX - 2500; x <= kMaxX + 2500; x += 80)
        for (float z = kMinZ - 2500; z <= kMaxZ + 2500; z += 80)
            peak = std::max(peak, CornerHeight(raw, x, z));
    EXPECT_GT(peak, hi + 300);
}

} // namespace
