// The drawn square of ground, the GL state the terrain leaves, and what a player sees of it.
#include "terrain/terrain_draw.h"

#include "render/textures.h"
#include "terrain/height_map.h"
#include "tests/render/offscreen_gl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

TEST(TerrainDraw, SquareAroundTheCamera) {
    struct Case {
        float x, z;
        tTerrainRange range;
    };
    const Case cases[] = {
        {0.0f, 0.0f, {704, 1344, 704, 1344}},     // map centre: 81 x 81 quads
        {5.0f, -79.0f, {704, 1344, 696, 1336}},   // snapped down to the cell corner
        {-7100.0f, 0.0f, {0, 632, 704, 1344}},    // low edge: fewer columns
        {7120.0f, 0.0f, {1416, 2048, 704, 1344}}, // high edge: the last column is X = 2048
        {-10300.0f, -10300.0f, {0, 320, 0, 320}}, // just off the map snaps to the first cell
        {-13520.0f, 0.0f, {0, -8, 704, 1344}},    // far off: nothing to draw
        {1.0e30f, -1.0e30f, {99999680, 2048, 0, -99999680}}, // absurd positions stay finite
        {std::nanf(""), 0.0f, {0, 320, 704, 1344}}, // no number: grid 0, as the height query says
    };
    for (const Case& c : cases) {
        const tTerrainRange r = TerrainRange(c.x, c.z);
        EXPECT_EQ(r.xFrom, c.range.xFrom) << c.x << ", " << c.z;
        EXPECT_EQ(r.xTo, c.range.xTo) << c.x << ", " << c.z;
        EXPECT_EQ(r.zFrom, c.range.zFrom) << c.x << ", " << c.z;
        EXPECT_EQ(r.zTo, c.range.zTo) << c.x << ", " << c.z;
    }
}

class TerrainDrawGL : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OpenOffscreenGL(64, 64)) << "no offscreen video";
        std::memset(HeightMap, 0, sizeof(HeightMap));
        TextureTable[kTexTerrain] = SolidTexture({0, 255, 0});
        TextureTable[kTexDetail] = SolidTexture({128, 128, 128});
        glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override {
        std::memset(HeightMap, 0, sizeof(HeightMap));
        CloseOffscreenGL();
    }
    // The view of an eye at (ex, ey, ez) looking at (cx, cy, cz), with the light of the game.
    static void Look(float ex, float ey, float ez, float cx, float cy, float cz, float ux, float uy,
                     float uz) {
        glLoadIdentity();
        gluLookAt(ex, ey, ez, cx, cy, cz, ux, uy, uz);
        SetWorldLightAndFog();
        const GLfloat light_position[4] = {0.0f, 1.0f, 0.0f, 0.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, light_position);
        glEnable(GL_LIGHT0);
    }
};

TEST_F(TerrainDrawGL, StateLeftBehind) {
    // No map: no GL call at all.
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    DrawTerrain(nullptr, 0.0f, 0.0f);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    DrawTerrain(HeightMap, 0.0f, 0.0f);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint unit = 0, mode = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(unit, GL_TEXTURE0_ARB);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    glActiveTextureARB(GL_TEXTURE1_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat m[16] = {};
    glGetFloatv(GL_TEXTURE_MATRIX, m);
    EXPECT_FLOAT_EQ(m[0], 256.0f);
    EXPECT_FLOAT_EQ(m[5], 256.0f);
    EXPECT_FLOAT_EQ(m[10], 1.0f);
    GLint env = 0, scale = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, &scale);
    EXPECT_EQ(env, GL_COMBINE_ARB);
    EXPECT_EQ(scale, 2);
    glActiveTextureARB(GL_TEXTURE0_ARB);
}

TEST_F(TerrainDrawGL, GroundBelowTheHorizonFoggedWithDistance) {
    glDisable(GL_TEXTURE_2D);
    Look(0.0f, 50.0f, 0.0f, 0.0f, 50.0f, -100.0f, 0.0f, 1.0f, 0.0f);
    DrawTerrain(HeightMap, 0.0f, 0.0f);
    const tRgb nearGround = PixelAt(32, 0);
    const tRgb farGround = PixelAt(32, 30);
    const tRgb fog = {209, 179, 139};
    // Near ground: the lit colour map, the grey detail layer doubled back to full strength.
    EXPECT_TRUE(Near(nearGround, {0, 255, 0}, 16)) << nearGround;
    // Ground 2500 units away has taken most of the fog colour.
    EXPECT_TRUE(Near(farGround, fog, 60)) << farGround;
    EXPECT_GT(farGround.r, nearGround.r + 100);
    // Above the horizon nothing is drawn.
    EXPECT_TRUE(Near(PixelAt(32, 40), {0, 0, 255})) << PixelAt(32, 40);
    EXPECT_TRUE(Near(PixelAt(32, 63), {0, 0, 255}));
}

// The drawn surface is the surface the height query answers for: every visible point of a
// looked-down-on patch with one raised corner lies at the queried ground height.
TEST_F(TerrainDrawGL, DrawnGroundMatchesTheHeightQuery) {
    // Grid (1032, 1032) is the far corner of the cell at world (0 ... 80, 0 ... 80).
    HeightMap[1032 + 1032 * kHeightMapSide] = 10;
    HeightMap[1040 + 1024 * kHeightMapSide] = 6;
    Look(40.0f, 400.0f, 40.0f, 40.0f, 0.0f, 40.0f, 0.0f, 0.0f, -1.0f);
    DrawTerrain(HeightMap, 40.0f, 40.0f);

    GLdouble model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    int checked = 0;
    for (int py = 2; py < 64; py += 4) {
        for (int px = 2; px < 64; px += 4) {
            const float depth = DepthAt(px, py);
            ASSERT_LT(depth, 1.0f) << "ground fills the view";
            GLdouble wx, wy, wz;
            gluUnProject(px + 0.5, py + 0.5, depth, model, projection, viewport, &wx, &wy, &wz);
            const float expected =
                TerrainHeight(HeightMap, static_cast<float>(wx), static_cast<float>(wz));
            EXPECT_NEAR(wy, expected, 2.0) << "world (" << wx << ", " << wz << ")";
            ++checked;
        }
    }
    EXPECT_EQ(checked, 256);
}
