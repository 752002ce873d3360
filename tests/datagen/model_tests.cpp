// The generated MD2 models, read back and checked against what the game's
// loader and drawing need.
#include "test_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

using namespace dgtest;
namespace fs = std::filesystem;

namespace {

std::string D(const std::string& rel) {
    return DataDir() + "/" + rel;
}

std::vector<std::string> AllModels() {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(D("Models")))
        if (e.path().extension() == ".md2")
            out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

bool IsMasked(const std::string& path) {
    // The scenery drawn through a mask map has one beside it.
    fs::path p(path);
    return fs::exists(p.parent_path() / (p.stem().string() + "Mask.bmp"));
}

TEST(Models, SoldierAnimationsLandOnTheGamesIndices) {
    Md2 soldier = ReadMd2(D("Models/Soldier/Soldier.md2")),
        weapon = ReadMd2(D("Models/Soldier/Weapon.md2"));
    ASSERT_TRUE(soldier.ok && weapon.ok);
    ASSERT_EQ(soldier.frameNames.size(), 198u);
    EXPECT_EQ(weapon.frameNames, soldier.frameNames);
    EXPECT_EQ(soldier.frameNames.front(), "stand01");
    EXPECT_EQ(soldier.frameNames[40], "run1");
    EXPECT_EQ(soldier.frameNames[54], "pain101");
    EXPECT_EQ(soldier.frameNames.back(), "death308");
    std::vector<Anim> anims = AnimationsFromNames(soldier.frameNames);
    const char* expected[] = {"stand",  "run",     "attack", "pain1",  "pain2",
                              "pain3",  "jump",    "flip",   "salute", "taunt",
                              "wave",   "point",   "crstnd", "crwalk", "crattak",
                              "crpain", "crdeath", "death1", "death2", "death3"};
    ASSERT_EQ(anims.size(), 20u);
    for (size_t i = 0; i < anims.size(); ++i)
        EXPECT_EQ(anims[i].name, expected[i]) << i;
    // Runs follow each other; the last one ends one before the last frame.
    EXPECT_EQ(anims[0].first, 0);
    EXPECT_EQ(anims[0].end, 40);
    EXPECT_EQ(anims[1].first, 40);
    EXPECT_EQ(anims[1].end, 46);
    EXPECT_EQ(anims[2].first, 46);
    EXPECT_EQ(anims[3].first, 54);
    EXPECT_EQ(anims[16].first, 173);
    EXPECT_EQ(anims[16].end, 178);
    EXPECT_EQ(anims[19].end, 197);
    for (size_t i = 1; i < anims.size(); ++i)
        EXPECT_EQ(anims[i].first, anims[i - 1].end);
}

TEST(Models, EveryModelKeepsTheLoadersLimits) {
    std::vector<std::string> models = AllModels();
    EXPECT_GE(models.size(), 2u + 5u + 5u);
    for (const std::string& path : models) {
        SCOPED_TRACE(path);
        Md2 m = ReadMd2(path);
        ASSERT_TRUE(m.ok) << m.why;
        EXPECT_EQ(m.version, 8);
        EXPECT_GT(m.numVertices, 0);
        EXPECT_LE(m.numVertices, 2048);
        EXPECT_EQ(m.frameSize, 40 + 4 * m.numVertices);
        EXPECT_LE(m.frameSize, 8320);
        ASSERT_FALSE(m.frames.empty());
        for (const std::string& n : m.frameNames) {
            EXPECT_FALSE(n.empty());
            EXPECT_LE(n.size(), 15u);
        }
        // The skin is named, lies beside the model and has the size the
        // texture coordinates are counted in.
        ASSERT_EQ(m.skins.size(), 1u);
        Bmp skin = ReadBmp((fs::path(path).parent_path() / m.skins[0]).string());
        ASSERT_TRUE(skin.ok) << m.skins[0];
        EXPECT_EQ(skin.width, m.skinWidth);
        EXPECT_EQ(skin.height, m.skinHeight);
        for (const auto& st : m.st) {
            EXPECT_TRUE(st[0] >= 0 && st[0] <= m.skinWidth && st[1] >= 0 && st[1] <= m.skinHeight);
        }
        for (const auto& t : m.tris)
            for (int k = 0; k < 3; ++k) {
                EXPECT_TRUE(t[k] >= 0 && t[k] < m.numVertices);
                EXPECT_TRUE(t[3 + k] >= 0 && t[3 + k] < static_cast<int>(m.st.size()));
            }
        const bool animated = path.find("Soldier") != std::string::npos;
        EXPECT_EQ(m.frames.size(), animated ? 198u : 1u);
    }
}

// Closed surfaces: every edge is shared by exactly two triangles running it
// in opposite directions, and each separate piece encloses a negative signed
// volume, which means its triangles run clockwise seen from outside.
void ExpectClosedAndClockwise(const Md2& m, const std::vector<Vec>& v, const std::string& what) {
    std::map<std::pair<int, int>, int> edges;
    for (const auto& t : m.tris)
        for (int k = 0; k < 3; ++k)
            ++edges[{t[k], t[(k + 1) % 3]}];
    int open = 0;
    for (const auto& [e, count] : edges)
        if (count != 1 || edges.count({e.second, e.first}) == 0 ||
            edges.at({e.second, e.first}) != 1)
            ++open;
    EXPECT_EQ(open, 0) << what << ": edges not shared by exactly two opposite triangles";
    // Pieces by shared vertices.
    std::vector<int> parent(m.numVertices);
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int a) {
        while (parent[a] != a)
            a = parent[a] = parent[parent[a]];
        return a;
    };
    for (const auto& t : m.tris)
        parent[find(t[0])] = find(t[1]), parent[find(t[1])] = find(t[2]);
    std::map<int, double> volume;
    for (const auto& t : m.tris) {
        Vec a = v[t[0]], b = v[t[1]], c = v[t[2]];
        volume[find(t[0])] += (a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) +
                               a.z * (b.x * c.y - b.y * c.x)) /
                              6.0;
    }
    for (const auto& [piece, vol] : volume)
        EXPECT_LT(vol, 0.0) << what << ": a piece winds counter-clockwise from outside";
}

TEST(Models, SolidModelsWindClockwiseFromOutside) {
    int checked = 0;
    for (const std::string& path : AllModels()) {
        if (IsMasked(path))
            continue; // drawn without culling
        Md2 m = ReadMd2(path);
        ASSERT_TRUE(m.ok);
        for (size_t f = 0; f < m.frames.size(); f += 11)
            ExpectClosedAndClockwise(m, m.frames[f], path + " " + m.frameNames[f]);
        ++checked;
    }
    EXPECT_GE(checked, 2 + 5 + 3);
}

struct Box {
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
};
Box Bounds(const std::vector<Vec>& v) {
    Box b;
    for (const Vec& p : v) {
        const float c[3] = {p.x, p.y, p.z};
        for (int k = 0; k < 3; ++k)
            b.lo[k] = std::min(b.lo[k], c[k]), b.hi[k] = std::max(b.hi[k], c[k]);
    }
    return b;
}
float MaxMove(const std::vector<Vec>& a, const std::vector<Vec>& b) {
    float m = 0;
    for (size_t i = 0; i < a.size(); ++i)
        m = std::max(m, std::hypot(a[i].x - b[i].x, a[i].y - b[i].y, a[i].z - b[i].z));
    return m;
}

TEST(Models, SoldierStandsRunsShootsFlinchesAndFalls) {
    Md2 s = ReadMd2(D("Models/Soldier/Soldier.md2")), w = ReadMd2(D("Models/Soldier/Weapon.md2"));
    ASSERT_TRUE(s.ok && w.ok);
    // Standing: feet 24 below the origin, about 56 tall, so half the height
    // is over 25; facing +x with the rifle forward.
    Box stand = Bounds(s.frames[0]);
    EXPECT_NEAR(stand.lo[2], -24.0f, 0.5f);
    EXPECT_NEAR(stand.hi[2] - stand.lo[2], 56.0f, 3.0f);
    EXPECT_GT((stand.hi[2] - stand.lo[2]) / 2, 25.0f);
    Box rifle = Bounds(w.frames[0]);
    EXPECT_GT(rifle.hi[0], 20.0f);
    EXPECT_GT(rifle.hi[0], -rifle.lo[0] + 15.0f);
    // Each played animation moves: stand 0-39, run 40-45, attack 46-53,
    // pain 54-57, crdeath 173-177.
    EXPECT_GT(MaxMove(s.frames[0], s.frames[10]), 0.4f) << "breathing";
    for (int f = 40; f < 46; ++f)
        EXPECT_GT(MaxMove(s.frames[f], s.frames[f == 45 ? 40 : f + 1]), 3.0f) << "running " << f;
    EXPECT_GT(MaxMove(w.frames[46], w.frames[47]), 1.5f) << "recoil";
    EXPECT_GT(MaxMove(s.frames[54], s.frames[55]), 1.0f) << "flinch";
    // The death ends lying on the ground: low and long.
    Box dead = Bounds(s.frames[177]);
    EXPECT_NEAR(dead.lo[2], -24.0f, 0.5f);
    EXPECT_LT(dead.hi[2] - dead.lo[2], 18.0f);
    EXPECT_GT(std::max(dead.hi[0] - dead.lo[0], dead.hi[1] - dead.lo[1]), 40.0f);
    // The rifle stays in his hands in every frame.
    for (size_t f = 0; f < s.frames.size(); ++f) {
        float nearest = 1e9f;
        for (const Vec& a : w.frames[f])
            for (const Vec& b : s.frames[f])
                nearest = std::min(nearest, std::hypot(a.x - b.x, a.y - b.y, a.z - b.z));
        EXPECT_LT(nearest, 2.5f) << s.frameNames[f];
    }
}

TEST(Models, LettersStandAboutFortyUnitsTall) {
    for (const char* l : {"K", "W", "E", "R", "T"}) {
        Md2 m = ReadMd2(D(std::string("Models/Letters/") + l + ".md2"));
        ASSERT_TRUE(m.ok) << l;
        Box b = Bounds(m.frames[0]);
        EXPECT_NEAR(b.hi[2] - b.lo[2], 40.0f, 2.0f) << l;
        EXPECT_NEAR(b.hi[2] + b.lo[2], 0.0f, 1.0f) << l << " is centred on its origin";
        EXPECT_GT(b.hi[1] - b.lo[1], 5.0f) << l << " is extruded";
    }
}

TEST(Models, MaskedSceneryIsBlackWhereItsMaskIsWhite) {
    int kinds = 0;
    for (const std::string& path : AllModels()) {
        if (!IsMasked(path))
            continue;
        ++kinds;
        fs::path p(path);
        Bmp skin = ReadBmp((p.parent_path() / (p.stem().string() + ".bmp")).string());
        Bmp mask = ReadBmp((p.parent_path() / (p.stem().string() + "Mask.bmp")).string());
        ASSERT_TRUE(skin.ok && mask.ok) << path;
        ASSERT_EQ(skin.width, mask.width);
        ASSERT_EQ(skin.height, mask.height);
        int solid = 0, clear = 0;
        for (int y = 0; y < skin.height; ++y)
            for (int x = 0; x < skin.width; ++x) {
                const uint8_t *s = skin.At(x, y), *k = mask.At(x, y);
                // Premultiplied: the skin never outshines what the mask lets through.
                for (int c = 0; c < 3; ++c)
                    EXPECT_LE(s[c], 256 - k[0]) << path << " " << x << "," << y;
                if (x == 0 || y == 0 || x == skin.width - 1 || y == skin.height - 1) {
                    EXPECT_EQ(k[0], 255) << path << ": the border is see-through";
                }
                solid += k[0] == 0, clear += k[0] == 255;
            }
        EXPECT_GT(solid, skin.width * skin.height / 10) << path;
        EXPECT_GT(clear, skin.width * skin.height / 5) << path;
    }
    EXPECT_GE(kinds, 2);
}

} // namespace
