// The sky box and its cloud sheet: geometry around the camera, drift, the state left behind
// and which face a player sees in each direction.
#include "terrain/sky_box.h"

#include "camera/frame_timer.h"
#include "render/textures.h"
#include "tests/render/offscreen_gl.h"

#include <gtest/gtest.h>

class SkyBoxGL : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OpenOffscreenGL(64, 64)) << "no offscreen video";
        CloudOffset1 = CloudOffset2 = 0.0f;
        FpsValue = 50.0f;
        glDisable(GL_LIGHTING);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override {
        FpsValue = 50.0f;
        CloseOffscreenGL();
    }
};

TEST_F(SkyBoxGL, CloudDomeDriftAndState) {
    // The renderer's box: 15000 on a side, centred 100 below an eye at the origin.
    DrawSkyBox(0.0f, -100.0f, 0.0f, 15000.0f, 15000.0f, 15000.0f);
    const tVec3 centre = CloudGrid[8][8];
    EXPECT_FLOAT_EQ(centre.x, 0.0f);
    EXPECT_NEAR(centre.y, 650.0f, 0.01f);
    EXPECT_FLOAT_EQ(centre.z, 0.0f);
    const tVec3 corner = CloudGrid[1][15];
    EXPECT_FLOAT_EQ(corner.x, -6562.5f);
    EXPECT_NEAR(corner.y, -1504.0f, 1.0f);
    EXPECT_FLOAT_EQ(corner.z, 6562.5f);
    // Next to the centre the cosine branch gives almost the full rise.
    EXPECT_NEAR(CloudGrid[8][9].y, 650.0f - 0.0039f * 6000.0f, 1.0f);
    EXPECT_FLOAT_EQ(CloudOffset1, 0.006f / 50.0f);
    EXPECT_FLOAT_EQ(CloudOffset2, 0.002f / 50.0f);

    // Frames per second: truncated, and below one counted as one.
    struct Step {
        float fps;
        int divisor;
    };
    for (const Step s : {Step{49.9f, 49}, Step{0.0f, 1}, Step{0.5f, 1}, Step{-3.0f, 1}}) {
        const float before1 = CloudOffset1, before2 = CloudOffset2;
        FpsValue = s.fps;
        DrawSkyBox(0.0f, -100.0f, 0.0f, 15000.0f, 15000.0f, 15000.0f);
        EXPECT_NEAR(CloudOffset1 - before1, 0.006f / static_cast<float>(s.divisor), 1e-7f) << s.fps;
        EXPECT_NEAR(CloudOffset2 - before2, 0.002f / static_cast<float>(s.divisor), 1e-7f) << s.fps;
    }

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    GLfloat m[16] = {};
    glGetFloatv(GL_TEXTURE_MATRIX, m);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
    }
    GLint mode = 0, env = 0, scale = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, &scale);
    EXPECT_EQ(env, GL_COMBINE_ARB);
    EXPECT_EQ(scale, 1);
}

TEST_F(SkyBoxGL, EachFaceWhereThePlayerLooks) {
    struct Face {
        int slot;
        tRgb colour;
        float dx, dy, dz; // looking direction
        float ux, uy, uz;
    };
    const Face faces[] = {
        {kTexSkyBack, {200, 0, 0}, 0, 0, -1, 0, 1, 0},
        {kTexSkyFront, {0, 200, 0}, 0, 0, 1, 0, 1, 0},
        {kTexSkyLeft, {0, 0, 200}, -1, 0, 0, 0, 1, 0},
        {kTexSkyRight, {200, 200, 0}, 1, 0, 0, 0, 1, 0},
        {kTexSkyTop, {0, 200, 200}, 0, 1, 0, 0, 0, -1},
        {kTexSkyBottom, {200, 0, 200}, 0, -1, 0, 0, 0, 1},
    };
    for (const Face& f : faces) {
        TextureTable[f.slot] = SolidTexture(f.colour);
    }
    TextureTable[kTexClouds] = SolidTexture({0, 0, 0}); // clear sky: black texels let it through
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    for (const Face& f : faces) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        gluLookAt(0, 0, 0, f.dx, f.dy, f.dz, f.ux, f.uy, f.uz);
        DrawSkyBox(0.0f, -100.0f, 0.0f, 15000.0f, 15000.0f, 15000.0f);
        EXPECT_TRUE(Near(PixelAt(32, 32), f.colour)) << f.slot << " " << PixelAt(32, 32);
        GLint wrapS = 0, wrapT = 0;
        glBindTexture(GL_TEXTURE_2D, TextureTable[f.slot]);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
        EXPECT_EQ(wrapS, GL_CLAMP_TO_EDGE);
        EXPECT_EQ(wrapT, GL_CLAMP_TO_EDGE);
    }

    // Bright cloud texels cover the sky overhead (no fog in the way).
    TextureTable[kTexClouds] = SolidTexture({255, 255, 255});
    glFogf(GL_FOG_DENSITY, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    gluLookAt(0, 0, 0, 0, 1, 0, 0, 0, -1);
    DrawSkyBox(0.0f, -100.0f, 0.0f, 15000.0f, 15000.0f, 15000.0f);
    EXPECT_TRUE(Near(PixelAt(32, 32), {255, 255, 255})) << PixelAt(32, 32);
}
