// The generated bitmaps, read back as the game's texture loader sees them.
#include "test_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace dgtest;

namespace {

std::string D(const std::string& rel) {
    return DataDir() + "/" + rel;
}

float Luma(const uint8_t* p) {
    return 0.3f * p[0] + 0.59f * p[1] + 0.11f * p[2];
}

TEST(Bitmaps, EveryTextureIsAReadable24BitBitmap) {
    const struct {
        const char* file;
        int w, h;
    } cases[] = {{"Skies/SkyBox01/Back.bmp", 512, 512},
                 {"Skies/SkyBox01/Front.bmp", 512, 512},
                 {"Skies/SkyBox01/Bottom.bmp", 512, 512},
                 {"Skies/SkyBox01/Top.bmp", 512, 512},
                 {"Skies/SkyBox01/Left.bmp", 512, 512},
                 {"Skies/SkyBox01/Right.bmp", 512, 512},
                 {"Skies/SkyBox01/Cloud.bmp", 256, 256},
                 {"Blood.bmp", 64, 64},
                 {"cursor_mask.bmp", 32, 32},
                 {"cursor.bmp", 32, 32},
                 {"Terrains/Terrain.bmp", 1024, 1024},
                 {"Terrains/Detail.bmp", 256, 256},
                 {"Fonts/Font02.bmp", 256, 256}};
    for (const auto& c : cases) {
        Bmp b = ReadBmp(D(c.file));
        ASSERT_TRUE(b.ok) << c.file << ": " << b.why;
        EXPECT_EQ(b.width, c.w) << c.file;
        EXPECT_EQ(b.height, c.h) << c.file;
    }
    // Every bitmap, skins included: power-of-two sides, so the game's mipmap
    // builder needs no rescaling and its row copy no padding.
    int count = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(DataDir())) {
        if (e.path().extension() != ".bmp")
            continue;
        Bmp b = ReadBmp(e.path().string());
        ASSERT_TRUE(b.ok) << e.path() << ": " << b.why;
        EXPECT_EQ(b.width & (b.width - 1), 0) << e.path();
        EXPECT_EQ(b.height & (b.height - 1), 0) << e.path();
        ++count;
    }
    EXPECT_GE(count, 13 + 2 + 5 + 4 + 3 * 2); // fixed, soldier, letters, solid and masked scenery
}

// The sky box faces as the game draws them: for each face, the box corners
// (as -1/+1 per axis, y up) that get texture coordinates (0,0), (1,0), (0,1)
// and (1,1).
struct FaceTable {
    const char* file;
    int c00[3], c10[3], c01[3], c11[3];
};
const FaceTable kFaces[6] = {
    {"Top.bmp", {1, 1, 1}, {-1, 1, 1}, {1, 1, -1}, {-1, 1, -1}},
    {"Back.bmp", {-1, -1, -1}, {1, -1, -1}, {-1, 1, -1}, {1, 1, -1}},
    {"Front.bmp", {1, -1, 1}, {-1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},
    {"Bottom.bmp", {1, -1, -1}, {-1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},
    {"Left.bmp", {-1, -1, 1}, {-1, -1, -1}, {-1, 1, 1}, {-1, 1, -1}},
    {"Right.bmp", {1, -1, -1}, {1, -1, 1}, {1, 1, -1}, {1, 1, 1}},
};

TEST(Bitmaps, SkyFacesMeetTexelForTexelAndFadeIntoFog) {
    // Every edge texel is placed on the box by the face table (edge texels
    // sit on the edge itself, where clamp-to-edge shows them); texels of two
    // faces that land on the same point must be the same colour.
    std::map<std::array<int, 3>, std::pair<std::array<uint8_t, 3>, std::string>> seen;
    int shared = 0, mismatched = 0;
    for (const FaceTable& f : kFaces) {
        Bmp b = ReadBmp(D(std::string("Skies/SkyBox01/") + f.file));
        ASSERT_TRUE(b.ok) << f.file;
        const int n = b.width, e = n - 1;
        for (int row = 0; row < n; ++row)
            for (int i = 0; i < n; ++i) {
                if (row != 0 && row != e && i != 0 && i != e)
                    continue;
                // Bilinear in the corners; lattice units of 1/(n-1) half-box.
                std::array<int, 3> p;
                for (int k = 0; k < 3; ++k)
                    p[k] = f.c00[k] * (e - i) * (e - row) + f.c10[k] * i * (e - row) +
                           f.c01[k] * (e - i) * row + f.c11[k] * i * row;
                const uint8_t* t = b.Texel(i, row);
                std::array<uint8_t, 3> c{t[0], t[1], t[2]};
                auto it = seen.find(p);
                if (it == seen.end()) {
                    seen[p] = {c, f.file};
                } else if (it->second.second != f.file) {
                    ++shared;
                    if (it->second.first != c && ++mismatched < 5) {
                        ADD_FAILURE()
                            << f.file << " and " << it->second.second << " differ at an edge";
                    }
                }
            }
        // The middle row of a side face is the horizon: fog colour there.
        if (std::string(f.file) != "Top.bmp" && std::string(f.file) != "Bottom.bmp") {
            const uint8_t* h = b.Texel(n / 3, n / 2 - 1);
            EXPECT_NEAR(h[0], 209, 4) << f.file;
            EXPECT_NEAR(h[1], 179, 4) << f.file;
            EXPECT_NEAR(h[2], 139, 4) << f.file;
        }
    }
    EXPECT_GE(shared, 12 * 500); // twelve edges of about 512 texels each
    EXPECT_EQ(mismatched, 0);
    Bmp top = ReadBmp(D("Skies/SkyBox01/Top.bmp"));
    const uint8_t* z = top.Texel(256, 256);
    EXPECT_GT(z[2], z[0] + 60) << "the zenith is blue";
}

TEST(Bitmaps, ColourMapLinesUpWithTheHeightMap) {
    std::vector<uint8_t> raw = ReadBytes(D("Terrains/Terrain.raw"));
    ASSERT_EQ(raw.size(), 2048u * 2048u);
    Bmp map = ReadBmp(D("Terrains/Terrain.bmp"));
    ASSERT_TRUE(map.ok);
    // The game's terrain coordinates: s = gx / 2048, t = -gz / 2048 with
    // repeat; t counts texture rows from the first row in the file.
    auto texel = [&](int gx, int gz, bool flipped) {
        double s = gx / 2048.0, t = (flipped ? gz : -gz) / 2048.0;
        t -= std::floor(t);
        int col = static_cast<int>(s * map.width), row = static_cast<int>(t * map.height);
        return map.Texel(std::min(col, map.width - 1), std::min(row, map.height - 1));
    };
    auto correlation = [&](bool flipped) {
        double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0, n = 0;
        for (int gz = 1; gz < 2048; gz += 6)
            for (int gx = 1; gx < 2048; gx += 6) {
                double h = raw[gx + gz * 2048], l = Luma(texel(gx, gz, flipped));
                sx += h, sy += l, sxx += h * h, syy += l * l, sxy += h * l, n += 1;
            }
        return (sxy / n - sx / n * sy / n) /
               std::sqrt((sxx / n - sx * sx / n / n) * (syy / n - sy * sy / n / n));
    };
    const double right = correlation(false), wrong = correlation(true);
    EXPECT_GT(right, 0.6);
    EXPECT_GT(right, wrong + 0.3);
    // The highest sample is snow; the start (grid 1024, 1024) is meadow.
    size_t top = 0;
    for (size_t i = 0; i < raw.size(); ++i)
        if (raw[i] > raw[top])
            top = i;
    EXPECT_GT(Luma(texel(static_cast<int>(top % 2048), static_cast<int>(top / 2048), false)),
              170.0f);
    const uint8_t* start = texel(1025, 1025, false);
    EXPECT_GT(start[1], start[0]);
    EXPECT_GT(start[1], start[2]);
}

// Mean absolute difference between two columns (or rows) of a grey image.
float EdgeStep(const Bmp& b, bool columns, int a, int c) {
    float sum = 0;
    for (int k = 0; k < b.width; ++k)
        sum += std::fabs(columns ? b.At(a, k)[0] - b.At(c, k)[0] : b.At(k, a)[0] - b.At(k, c)[0]);
    return sum / b.width;
}

TEST(Bitmaps, DetailAndCloudsTileAndHaveTheRightWeight) {
    Bmp detail = ReadBmp(D("Terrains/Detail.bmp")), cloud = ReadBmp(D("Skies/SkyBox01/Cloud.bmp"));
    ASSERT_TRUE(detail.ok && cloud.ok);
    double sum = 0;
    for (size_t i = 0; i < detail.rgb.size(); i += 3) {
        EXPECT_TRUE(detail.rgb[i] == detail.rgb[i + 1] && detail.rgb[i] == detail.rgb[i + 2]);
        sum += detail.rgb[i];
    }
    EXPECT_NEAR(sum / (detail.rgb.size() / 3), 128.0, 2.0)
        << "the detail layer is doubled in the game";
    int dark = 0, bright = 0;
    for (size_t i = 0; i < cloud.rgb.size(); i += 3)
        dark += cloud.rgb[i]<20, bright += cloud.rgb[i]> 170;
    EXPECT_GT(dark, 5000) << "clear sky between the clouds";
    EXPECT_GT(bright, 2000) << "some thick cloud";
    // Wrapping from the last column to the first is no bigger a step than
    // between neighbours inside the picture.
    for (const Bmp* b : {&detail, &cloud}) {
        const int n = b->width;
        float inner =
            0.5f * (EdgeStep(*b, true, n / 2, n / 2 + 1) + EdgeStep(*b, false, n / 2, n / 2 + 1));
        EXPECT_LT(EdgeStep(*b, true, n - 1, 0), 2.5f * inner + 2.0f);
        EXPECT_LT(EdgeStep(*b, false, n - 1, 0), 2.5f * inner + 2.0f);
    }
}

TEST(Bitmaps, OverlaysBlendTheWayTheGameDrawsThem) {
    Bmp blood = ReadBmp(D("Blood.bmp")), mask = ReadBmp(D("cursor_mask.bmp")),
        cursor = ReadBmp(D("cursor.bmp"));
    ASSERT_TRUE(blood.ok && mask.ok && cursor.ok);
    // Blood is added: black rim, red middle.
    EXPECT_EQ(blood.At(0, 0)[0], 0);
    EXPECT_GT(blood.At(32, 32)[0], 180);
    EXPECT_GT(blood.At(32, 32)[0], 3 * blood.At(32, 32)[1]);
    // The mask multiplies and the cursor adds: where the cross is, the mask
    // is black and the cursor bright; elsewhere white and black.
    int cross = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            bool cut = mask.At(x, y)[0] == 0;
            bool lit = Luma(cursor.At(x, y)) > 100;
            EXPECT_EQ(cut, lit) << x << "," << y;
            if (!cut) {
                EXPECT_EQ(mask.At(x, y)[0], 255);
            }
            cross += cut;
        }
    EXPECT_GT(cross, 60);
    EXPECT_EQ(mask.At(0, 0)[0], 255);
    EXPECT_EQ(cursor.At(0, 0)[0], 0);
}

TEST(Bitmaps, FontHasBothSetsInTheirCells) {
    Bmp font = ReadBmp(D("Fonts/Font02.bmp"));
    ASSERT_TRUE(font.ok);
    // Ink of glyph g: column g % 16, row g / 16 counted from the top.
    auto ink = [&](int g, int* right) {
        int sum = 0;
        *right = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const uint8_t* p = font.At((g % 16) * 16 + x, (g / 16) * 16 + y);
                EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);
                if (p[0] > 64)
                    *right = std::max(*right, x);
                sum += p[0];
            }
        return sum;
    };
    int r;
    EXPECT_EQ(ink(0, &r), 0) << "space is blank";
    EXPECT_EQ(ink(128, &r), 0) << "bold space is blank";
    for (char c : std::string("AHWaegy019:!")) {
        int g = c - 32;
        int regular = ink(g, &r);
        EXPECT_GT(regular, 1000) << c;
        EXPECT_LE(r, 13) << c << " must fit the 10-pixel advance closely";
        EXPECT_GT(ink(g + 128, &r), regular) << c << " in bold has more ink";
    }
    EXPECT_GT(ink('_' - 32, &r), 500);
    EXPECT_GT(ink('_' - 32 + 128, &r), 500);
    // Codes 127 ... 159 are not printable: blank cells.
    for (int g = 127 - 32; g < 128; ++g)
        EXPECT_EQ(ink(g, &r), 0) << g;
}

} // namespace
