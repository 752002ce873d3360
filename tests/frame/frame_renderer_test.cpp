// One whole frame in a hidden GL context: what the player sees of sky, ground, crosshair, red
// tint and text, which objects are drawn, and the frame rate in the title. The far-to-near order
// of see-through scenery and the letters line need no GL.
#include "frame/frame_renderer.h"

#include "camera/camera.h"
#include "basics/frame_timer.h"
#include "render/font.h"
#include "render/textures.h"
#include "terrain/height_map.h"
#include "tests/models/model_fixtures.h"
#include "tests/render/offscreen_gl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

void SetRanges(uint32_t enemyEnd, uint32_t letters, uint32_t solidEnd, uint32_t transparentEnd) {
    EnemyEnd = enemyEnd;
    LetterCount = letters;
    SolidEnd = solidEnd;
    TransparentEnd = transparentEnd;
}

} // namespace

TEST(FrameRenderer, TransparentSceneryFarToNear) {
    ClearTestObjects();
    const tVec3 eye(10.0f, 50.0f, 10.0f);
    // No transparent scenery: nothing filled.
    TransparentOrder[5] = {-1, -1.0f};
    SetRanges(2, 1, 5, 5);
    SortTransparentScenery(eye);
    EXPECT_EQ(TransparentOrder[5].id, -1);

    // One object: just its entry.
    SetRanges(2, 1, 5, 6);
    SceneObjects[5].position = eye + tVec3(30.0f, 0.0f, 40.0f);
    SortTransparentScenery(eye);
    EXPECT_EQ(TransparentOrder[5].id, 5);
    EXPECT_FLOAT_EQ(TransparentOrder[5].distance, 50.0f);

    // Farthest first; equal distances in id order.
    SetRanges(2, 1, 10, 16);
    const float distances[6] = {100.0f, 500.0f, 300.0f, 500.0f, 100.0f, 3000.0f};
    for (int k = 0; k < 6; ++k) {
        SceneObjects[10 + k].position = eye + tVec3(0.0f, 0.0f, -distances[k]);
    }
    SortTransparentScenery(eye);
    const int expected[6] = {15, 11, 13, 12, 10, 14};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(TransparentOrder[10 + k].id, expected[k]) << k;
    }
    ClearTestObjects();
}

TEST(FrameRenderer, LettersLine) {
    struct Case {
        uint32_t collected, count;
        const char* word;
        const char* line;
    };
    const Case cases[] = {
        {0, 5, "KWERT", "Letters : _____"}, {2, 5, "KWERT", "Letters : KW___"},
        {5, 5, "KWERT", "Letters : KWERT"}, {0, 0, "KWERT", "Letters : "},
        {2, 3, "AB", "Letters : AB_"},      {3, 4, "AB", "Letters : AB?_"},
    };
    for (const Case& c : cases) {
        LettersCollected = c.collected;
        LetterCount = c.count;
        std::memset(LetterWord, 0, sizeof(LetterWord));
        std::strncpy(LetterWord, c.word, sizeof(LetterWord) - 1);
        char line[64];
        FormatLettersLine(line, sizeof(line));
        EXPECT_STREQ(line, c.line);
    }
    // A short buffer is cut, still terminated.
    LettersCollected = 0;
    LetterCount = 5;
    char small[8];
    FormatLettersLine(small, sizeof(small));
    EXPECT_STREQ(small, "Letters");
    ResetGameState();
    ClearSceneObjects();
}

class FrameRendererGL : public testing::Test {
  protected:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 192;
    static constexpr tRgb kSky = {0, 0, 200};

    void SetUp() override {
        ASSERT_TRUE(OpenOffscreenGL(kWidth, kHeight)) << "no offscreen video";
        ClearTestObjects();
        std::memset(HeightMap, 0, sizeof(HeightMap));
        for (int slot = kTexSkyBack; slot <= kTexSkyRight; ++slot) {
            TextureTable[slot] = SolidTexture(kSky);
        }
        TextureTable[kTexClouds] = SolidTexture({0, 0, 0});
        TextureTable[kTexTerrain] = SolidTexture({0, 255, 0});
        TextureTable[kTexDetail] = SolidTexture({128, 128, 128});
        // Crosshair: a black mask under a white cursor, a white square on any background.
        TextureTable[kTexCursorMask] = SolidTexture({0, 0, 0});
        TextureTable[kTexCursor] = SolidTexture({255, 255, 255});
        SetWorldLightAndFog();
        FpsValue = 49.9f;
        // An eye 50 above flat ground, looking level along -z.
        Camera.Place(0.0f, 50.0f, 0.0f, 0.0f, 50.0f, -100.0f, 0.0f, 1.0f, 0.0f);
    }
    void TearDown() override {
        ClearTestObjects();
        FpsValue = 50.0f;
        ResetGameState();
        CloseOffscreenGL();
    }
    // The blue sky faces high overhead, seen through the cloud sheet, whose dark texels the fog
    // lightens toward the horizon.
    static bool IsSky(tRgb c) { return c.b > 120 && c.b > c.r + 60 && c.b > c.g + 60; }
    // The camera's look-at onto the identity the previous frame left, then the frame.
    static void Frame() {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0.0, 50.0, 0.0, 0.0, 50.0, -100.0, 0.0, 1.0, 0.0);
        RenderFrame();
    }
};

TEST_F(FrameRendererGL, SkyGroundCrosshairAndTitle) {
    Frame();
    EXPECT_TRUE(IsSky(PixelAt(10, kHeight - 10))) << PixelAt(10, kHeight - 10);
    EXPECT_TRUE(IsSky(PixelAt(kWidth - 10, kHeight - 5))) << PixelAt(kWidth - 10, kHeight - 5);
    const tRgb ground = PixelAt(10, 5);
    EXPECT_GT(ground.g, 200) << ground;
    EXPECT_LT(ground.b, 60) << ground;

    // The crosshair: a white square in the middle, about 2.4 % of the height on a side.
    int column = 0, row = 0;
    for (int y = 0; y < kHeight; ++y) {
        column += Near(PixelAt(kWidth / 2, y), {255, 255, 255}, 8) ? 1 : 0;
    }
    for (int x = 0; x < kWidth; ++x) {
        row += Near(PixelAt(x, kHeight / 2), {255, 255, 255}, 8) ? 1 : 0;
    }
    EXPECT_NEAR(column, 0.024 * kHeight, 1.0);
    EXPECT_NEAR(row, 0.024 * kHeight, 1.0);

    // Presented once, the frame rate truncated in the title.
    EXPECT_EQ(TestPlatformState().swaps, 1);
    ASSERT_FALSE(TestPlatformState().titles.empty());
    EXPECT_EQ(TestPlatformState().titles.back(), "Frames Per Second: 49");
    // What the next frame builds on: the identity model-view, no lighting or fog left on.
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
    }
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    // Every frame rewrites the title.
    FpsValue = 120.0f;
    Frame();
    EXPECT_EQ(TestPlatformState().titles.size(), 2u);
    EXPECT_EQ(TestPlatformState().titles.back(), "Frames Per Second: 120");
}

TEST_F(FrameRendererGL, RedTintAfterEnemyFire) {
    RedTintFrames = 2;
    for (int frame = 1; frame <= 3; ++frame) {
        Frame();
        const tRgb sky = PixelAt(20, kHeight - 20);
        if (frame <= 2) {
            EXPECT_GT(sky.r, 60) << "frame " << frame << " " << sky;
            EXPECT_LT(sky.b, 170) << "frame " << frame << " " << sky;
        } else {
            EXPECT_TRUE(IsSky(sky)) << "frame " << frame << " " << sky;
        }
    }
    EXPECT_EQ(RedTintFrames, 0);
}

// DrawModel turns a scale of 0 into 1, which tells which objects a frame drew.
TEST_F(FrameRendererGL, WhatEachFrameDraws) {
    // Enemies 0, 1; letters 2, 3, 4; solid scenery 5, 6; transparent scenery 7, 8.
    SetRanges(2, 3, 7, 9);
    const float z[9] = {-5000.0f, -5000.0f, -200.0f,  -200.0f, -200.0f,
                        -3200.0f, -3199.5f, -3200.0f, -100.0f};
    for (int id = 0; id < 9; ++id) {
        tSceneObject& object = SceneObjects[id];
        BuildQuadModel(object.model, id < 2 ? 4 : 1, 0.5f, 2 * id);
        object.position = tVec3(0.0f, 50.0f, z[id]);
    }
    // Both enemies stand on the last frame of a finished one-shot attack [2, 4).
    for (int id = 0; id < 2; ++id) {
        tModel& model = SceneObjects[id].model;
        AddAnimation(model, 0, 1, true);  // idle
        AddAnimation(model, 1, 2, true);  // run
        AddAnimation(model, 2, 4, false); // attack
        model.currentAnim = 2;
        model.currentFrameIndex = 3;
    }
    SceneObjects[0].state = kStateAwake;
    SceneObjects[1].state = kStateDead;
    LettersCollected = 1;
    LetterSpin = 359.0f;

    Frame();
    auto drawn = [](int id) { return SceneObjects[id].scale == 1.0f; };
    EXPECT_TRUE(drawn(0) && drawn(1)) << "enemies are drawn at any distance";
    EXPECT_EQ(SceneObjects[0].model.currentAnim, kAnimRun) << "awake enemy runs again";
    EXPECT_EQ(SceneObjects[1].model.currentAnim, 2) << "the dead stay down";
    EXPECT_EQ(SceneObjects[1].model.currentFrameIndex, 3);
    EXPECT_FALSE(drawn(2));
    EXPECT_TRUE(drawn(3)) << "the next letter";
    EXPECT_FALSE(drawn(4));
    EXPECT_FLOAT_EQ(LetterSpin, 1.5f);
    for (int id = 2; id <= 4; ++id) {
        EXPECT_FLOAT_EQ(SceneObjects[id].rotY, 1.5f) << id;
    }
    EXPECT_FALSE(drawn(5)) << "scenery at 3200 is out of sight";
    EXPECT_TRUE(drawn(6)) << "scenery just nearer is drawn";
    EXPECT_FALSE(drawn(7));
    EXPECT_TRUE(drawn(8));

    // All letters in: the slot after the letters (the first solid object) is not drawn for it.
    LettersCollected = 3;
    Frame();
    EXPECT_FALSE(drawn(5));
}

TEST_F(FrameRendererGL, HealthAndLettersLines) {
    TextureTable[kTexFont] = SolidTexture({255, 255, 255});
    CreateFontLists();
    ASSERT_NE(FontListBase, 0u) << "no font lists";
    // Black world, so the additive text shows its own colour; each glyph a full white square.
    for (int slot = kTexSkyBack; slot <= kTexSkyRight; ++slot) {
        TextureTable[slot] = SolidTexture({0, 0, 0});
    }
    TextureTable[kTexTerrain] = SolidTexture({0, 0, 0});
    PlayerHealth = 100;
    LetterCount = 3;
    LettersCollected = 1;
    Frame();
    // "Health : 100", 12 glyphs: 10 x 11 + 16 = 126 pixels from the left edge, 2 up.
    EXPECT_TRUE(Near(PixelAt(2, 10), {255, 0, 0})) << PixelAt(2, 10);
    EXPECT_TRUE(Near(PixelAt(124, 10), {255, 0, 0})) << PixelAt(124, 10);
    EXPECT_TRUE(Near(PixelAt(130, 10), {0, 0, 0})) << PixelAt(130, 10);
    EXPECT_TRUE(Near(PixelAt(2, 0), {0, 0, 0})) << PixelAt(2, 0);
    // "Letters : K__", 13 glyphs: 136 pixels from 160 left of the right edge.
    const int x0 = kWidth - 160;
    EXPECT_TRUE(Near(PixelAt(x0 - 3, 10), {0, 0, 0})) << PixelAt(x0 - 3, 10);
    EXPECT_TRUE(Near(PixelAt(x0 + 2, 10), {255, 255, 255})) << PixelAt(x0 + 2, 10);
    EXPECT_TRUE(Near(PixelAt(x0 + 134, 10), {255, 255, 255})) << PixelAt(x0 + 134, 10);
    EXPECT_TRUE(Near(PixelAt(x0 + 140, 10), {0, 0, 0})) << PixelAt(x0 + 140, 10);
    DeleteFontLists();
}
