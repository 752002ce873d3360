// The blood burst's course frame by frame, and the GL state it leaves on a hidden context.
#include "app/display.h"
#include "state/game_state.h"
#include "camera/camera.h"
#include "basics/frame_timer.h"
#include "basics/game_random.h"
#include "platform/gl_api.h"
#include "platform/platform.h"
#include "platform/platform_test.h"
#include "render/textures.h"
#include "terrain/blood.h"
#include "tests/render/offscreen_gl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Blood : public testing::Test {
  protected:
    void SetUp() override {
        // No context is current here: the drawing calls go nowhere, the particle rules run.
        ResetTestPlatform();
        ResetFrameTimer();
        std::memset(BloodParticles, 0, sizeof(BloodParticles));
    }
    static void Burst(bool cycle = false, unsigned colour = 1) {
        EmitBlood(10, 20, 0.15f, cycle, 50, colour, {100.0f, 20.0f, -50.0f});
    }
};

} // namespace

TEST_F(Blood, EndsOnThe21stCallUnlessLooping) {
    EXPECT_FALSE(BloodParticles[0].active); // nothing before the first hit
    Burst();
    for (const BloodParticle& p : BloodParticles) {
        ASSERT_TRUE(p.active);
        EXPECT_EQ(p.life, 0.0f);
        EXPECT_GE(p.fade, 0.003f);
        EXPECT_LE(p.fade, 0.1021f);
        EXPECT_EQ(p.colour[0], 1.0f);
        EXPECT_EQ(p.colour[1], 0.0f);
        EXPECT_EQ(p.gravity, tVec3(1.0f, -1.0f, 0.0f));
    }
    for (int call = 1; call <= 20; ++call) {
        EXPECT_TRUE(DrawBlood(false, 0.0f, 0.0f)) << call;
    }
    EXPECT_FALSE(DrawBlood(false, 0.0f, 0.0f));

    Burst();
    for (int call = 1; call <= 50; ++call) {
        EXPECT_TRUE(DrawBlood(true, 10.0f, 30.0f));
        EXPECT_EQ(BloodEmitter.durationCounter, static_cast<unsigned>(call % 21)) << call;
    }
}

TEST_F(Blood, FirstFrameGivesSpeedsAndOnlyEarlyDeathsAreReborn) {
    // The spray leans toward -x: over a few bursts the speeds fill -32 ... 27 in x and
    // -30 ... 29 in y and z, whole numbers.
    SeedGameRandom(7);
    tVec3 low(100.0f, 100.0f, 100.0f), high(-100.0f, -100.0f, -100.0f);
    for (int burst = 0; burst < 5; ++burst) {
        Burst();
        DrawBlood(false, 0.0f, 0.0f);
        for (const BloodParticle& p : BloodParticles) {
            EXPECT_EQ(p.life, 1.0f);
            EXPECT_EQ(p.offset, tVec3(0.0f, 0.0f, 0.0f));
            EXPECT_EQ(p.velocity.x, std::floor(p.velocity.x));
            low = {std::min(low.x, p.velocity.x), std::min(low.y, p.velocity.y),
                   std::min(low.z, p.velocity.z)};
            high = {std::max(high.x, p.velocity.x), std::max(high.y, p.velocity.y),
                    std::max(high.z, p.velocity.z)};
        }
    }
    EXPECT_EQ(low, tVec3(-32.0f, -30.0f, -30.0f));
    EXPECT_EQ(high, tVec3(27.0f, 29.0f, 29.0f));
    // Ten more calls may still give rebirth; from the twelfth on every life only falls.
    for (int call = 2; call <= 10; ++call) {
        DrawBlood(false, 0.0f, 0.0f);
    }
    // A particle dying on the 11th call is still reborn; one dying on the 12th is not.
    BloodParticles[0].life = 0.001f;
    BloodParticles[0].fade = 0.01f;
    DrawBlood(false, 0.0f, 0.0f);
    EXPECT_EQ(BloodParticles[0].life, 1.0f);
    BloodParticles[1].life = 0.001f;
    BloodParticles[1].fade = 0.01f;
    DrawBlood(false, 0.0f, 0.0f);
    EXPECT_LT(BloodParticles[1].life, 0.0f);
    for (int call = 13; call <= 40; ++call) {
        float before[kBloodParticles];
        for (int i = 0; i < kBloodParticles; ++i) {
            before[i] = BloodParticles[i].life;
        }
        DrawBlood(true, 0.0f, 0.0f);
        for (int i = 0; i < kBloodParticles; ++i) {
            ASSERT_LT(BloodParticles[i].life, before[i]) << "particle " << i << " call " << call;
        }
    }
}

TEST_F(Blood, MotionPerSecondGravityPerFrame) {
    struct Case {
        float fps, divisor; // slowdown 0.15 x 1000 x f / 50, with f at least 4
    };
    for (const Case c :
         {Case{50.0f, 150.0f}, Case{0.0f, 12.0f}, Case{3.0f, 12.0f}, Case{100.0f, 300.0f}}) {
        Burst();
        FpsValue = c.fps;
        DrawBlood(false, 0.0f, 0.0f);
        const tVec3 v0 = BloodParticles[7].velocity;
        DrawBlood(false, 0.0f, 0.0f);
        const BloodParticle& p = BloodParticles[7];
        EXPECT_FLOAT_EQ(p.offset.x, v0.x / c.divisor) << c.fps;
        EXPECT_FLOAT_EQ(p.offset.y, v0.y / c.divisor) << c.fps;
        EXPECT_FLOAT_EQ(p.offset.z, v0.z / c.divisor) << c.fps;
        // Gravity drifts the spray toward +x as it falls.
        EXPECT_EQ(p.velocity, v0 + tVec3(1.0f, -1.0f, 0.0f));
    }
}

TEST_F(Blood, ColourCycleStepsEvery51CallsOverTwelveEntries) {
    // The colours a burst can take, as (red, green, blue): pink, red, orange, yellow, lime,
    // green, mint, cyan, sky, blue, violet, magenta, rose; past the table, red.
    const float colours[14][3] = {{1.0f, 0.5f, 0.5f},  {1.0f, 0.0f, 0.0f},  {1.0f, 0.75f, 0.5f},
                                  {1.0f, 1.0f, 0.5f},  {0.75f, 1.0f, 0.5f}, {0.5f, 1.0f, 0.5f},
                                  {0.5f, 1.0f, 0.75f}, {0.5f, 1.0f, 1.0f},  {0.5f, 0.75f, 1.0f},
                                  {0.5f, 0.5f, 1.0f},  {0.75f, 0.5f, 1.0f}, {1.0f, 0.5f, 1.0f},
                                  {1.0f, 0.5f, 0.75f}, {1.0f, 0.0f, 0.0f}};
    for (unsigned index = 0; index < 14; ++index) {
        Burst(false, index);
        DrawBlood(false, 0.0f, 0.0f); // rebirth takes the colour again
        for (const BloodParticle& p : {BloodParticles[0], BloodParticles[kBloodParticles - 1]}) {
            EXPECT_EQ(p.colour[0], colours[index][0]) << index;
            EXPECT_EQ(p.colour[1], colours[index][1]) << index;
            EXPECT_EQ(p.colour[2], colours[index][2]) << index;
        }
    }

    Burst(true, 11);
    for (int call = 1; call <= 50; ++call) {
        DrawBlood(true, 0.0f, 0.0f);
    }
    EXPECT_EQ(BloodEmitter.colourIndex, 11u);
    DrawBlood(true, 0.0f, 0.0f);
    EXPECT_EQ(BloodEmitter.colourIndex, 0u); // wraps past 11; entry 12 is never reached
    for (int call = 1; call <= 51; ++call) {
        DrawBlood(true, 0.0f, 0.0f);
    }
    EXPECT_EQ(BloodEmitter.colourIndex, 1u);
}

TEST(BloodDrawing, LeavesAdditiveBlendingAndTheBloodTexture) {
    tContextCloser closer;
    ASSERT_TRUE(OpenSdlContext(64, 64)) << "no offscreen video";
    GLuint texture = 0;
    glGenTextures(1, &texture);
    TextureTable[kTexBlood] = texture;
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);

    EmitBlood(10, 20, 0.15f, false, 50, 1, {0.0f, 0.0f, -10.0f});
    EXPECT_TRUE(DrawBlood(false, 0.0f, 0.0f));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint value = 0;
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(static_cast<GLuint>(value), texture);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    glDeleteTextures(1, &texture);
    TextureTable[kTexBlood] = 0;
}

TEST(BloodDrawing, EveryParticleIsAnUprightSquareFacingTheCamera) {
    tContextCloser closer;
    ASSERT_TRUE(OpenSdlContext(64, 64)) << "no offscreen video";
    const tCamera kept = Camera;
    // Orthographic at 16 pixels per world unit: a unit square facing the camera, centred on the
    // burst, covers the 16 x 16 pixels round the window's centre, all at one depth.
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2.0, 2.0, -2.0, 2.0, -100.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    const tVec3 burst(100.0f, 20.0f, -50.0f);
    // Looking along each axis, askew, up and down: the renderer passes the camera's own pitch
    // and heading. (Exactly along +z the heading rule reads 0 rather than 180, the one direction
    // where the picture shows mirrored; a hair off it, it is upright again.)
    const tVec3 views[] = {{0.01f, 0.0f, 1.0f},  {-0.01f, 0.0f, 1.0f}, {0.0f, 0.0f, -1.0f},
                           {1.0f, 0.0f, 0.0f},   {-1.0f, 0.0f, 0.0f},  {-1.0f, 0.5f, 2.0f},
                           {2.0f, -1.5f, -1.0f}, {-0.3f, 0.8f, -0.4f}, {0.6f, -0.9f, 0.2f}};
    std::vector<GLfloat> buffer(20000);
    for (const tVec3& view : views) {
        const tVec3 eye = burst - Normalized(view) * 10.0f;
        Camera.Place(eye.x, eye.y, eye.z, burst.x, burst.y, burst.z, 0.0f, 1.0f, 0.0f);
        glLoadIdentity();
        Camera.ApplyView();
        EmitBlood(10, 20, 0.15f, false, 50, 1, burst);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        DrawBlood(false, Camera.PitchDegrees(), Camera.YawDegrees());
        const GLint used = glRenderMode(GL_RENDER);
        ASSERT_GT(used, 0);
        // Each vertex: x, y, z, r, g, b, a, s, t, r, q. In the first frame every particle is
        // drawn at the burst's origin.
        const std::string where =
            std::to_string(view.x) + " " + std::to_string(view.y) + " " + std::to_string(view.z);
        int corners = 0;
        float depth = -1.0f;
        for (GLint k = 0; k < used;) {
            ASSERT_EQ(buffer[static_cast<size_t>(k)], static_cast<GLfloat>(GL_POLYGON_TOKEN));
            const int n = static_cast<int>(buffer[static_cast<size_t>(k) + 1]);
            k += 2;
            for (int v = 0; v < n; ++v, k += 11, ++corners) {
                const GLfloat* f = &buffer[static_cast<size_t>(k)];
                const bool right = f[0] > 32.0f, top = f[1] > 32.0f;
                EXPECT_NEAR(f[0], right ? 40.0f : 24.0f, 1e-3f) << where;
                EXPECT_NEAR(f[1], top ? 40.0f : 24.0f, 1e-3f) << where;
                // The texture upright: its s along the screen's x, its t up the screen.
                EXPECT_EQ(f[7], right ? 1.0f : 0.0f) << where;
                EXPECT_EQ(f[8], top ? 1.0f : 0.0f) << where;
                depth = depth < 0.0f ? f[2] : depth;
                EXPECT_NEAR(f[2], depth, 1e-5f) << where;
            }
        }
        EXPECT_GE(corners, kBloodParticles * 4) << where;
    }
    Camera = kept;
}
