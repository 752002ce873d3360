// Mouse look, the view turn and the camera's angle read-outs, over the test backend's cursor.
#include "state/game_state.h"
#include "camera/camera.h"
#include "basics/frame_timer.h"
#include "platform/platform_test.h"
#include "tests/render/offscreen_gl.h"
#include "world/movement.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class CameraLook : public testing::Test {
  protected:
    void SetUp() override {
        ResetTestPlatform();
        ResetGameState();
        WindowWidth = 800;
        WindowHeight = 600;
        PitchTotal = PitchTotalBefore = 0.0f;
        // Eye at the origin looking one unit along +z, as the world loader places it.
        Camera.Place(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f);
    }
    void LookWithCursorAt(int x, int y) {
        TestPlatformState().cursorX = x;
        TestPlatformState().cursorY = y;
        LookWithMouse(Camera);
    }
    tVec3 Direction() const { return Camera.vView - Camera.vPosition; }
};

} // namespace

TEST_F(CameraLook, CursorTravelTurnsTheViewAndIsRecentred) {
    // Still at the centre: no re-centring, no turn.
    LookWithCursorAt(400, 300);
    EXPECT_EQ(Camera.vView, tVec3(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(PitchTotal, 0.0f);

    // 100 pixels left and 50 up: 0.05 rad up about the side axis, then 0.1 rad left about +y
    // (a left turn from +z heads toward +x).
    LookWithCursorAt(300, 250);
    EXPECT_EQ(TestPlatformState().cursorX, 400);
    EXPECT_EQ(TestPlatformState().cursorY, 300);
    EXPECT_FLOAT_EQ(PitchTotal, 0.05f);
    const tVec3 d = Direction();
    EXPECT_NEAR(d.x, std::sin(0.1) * std::cos(0.05), 1e-6);
    EXPECT_NEAR(d.y, std::sin(0.05), 1e-6);
    EXPECT_NEAR(d.z, std::cos(0.1) * std::cos(0.05), 1e-6);

    // An odd width halves down: 801 puts the centre at x 400.
    WindowWidth = 801;
    const tVec3 before = Camera.vView;
    LookWithCursorAt(400, 300);
    EXPECT_EQ(Camera.vView, before);
}

TEST_F(CameraLook, PitchStopsExactlyAtTheLimitWhileYawGoesOn) {
    PitchTotal = 0.95f;
    LookWithCursorAt(400, 100); // 0.2 up: only 0.05 is left below the limit
    EXPECT_EQ(PitchTotal, kPitchLimit);
    EXPECT_NEAR(Camera.PitchDegrees(), 0.05 * 57.29577951, 1e-3);

    LookWithCursorAt(300, 100); // further up turns nothing; the yaw still applies
    EXPECT_EQ(PitchTotal, kPitchLimit);
    EXPECT_FLOAT_EQ(PitchTotalBefore, kPitchLimit);
    EXPECT_NEAR(Camera.PitchDegrees(), 0.05 * 57.29577951, 1e-3);
    EXPECT_NEAR(Camera.YawDegrees(), -180.0 + 0.1 * 57.29577951, 1e-3);

    LookWithCursorAt(400, 400); // 0.1 down turns by the full step
    EXPECT_FLOAT_EQ(PitchTotal, 0.9f);
    EXPECT_NEAR(Camera.PitchDegrees(), -0.05 * 57.29577951, 1e-3);

    // The same at the lower limit.
    PitchTotal = -0.95f;
    LookWithCursorAt(400, 600);
    EXPECT_EQ(PitchTotal, -kPitchLimit);
    EXPECT_NEAR(Camera.PitchDegrees(), -0.1 * 57.29577951, 1e-3); // -0.05, then -0.05 to -1

    // Looking between two axes, the step that reaches the limit turns about the true side axis:
    // the view rises and its heading stays.
    Camera.Place(0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f);
    PitchTotal = 0.95f;
    const double heading = Camera.YawDegrees();
    LookWithCursorAt(400, 100);
    EXPECT_EQ(PitchTotal, kPitchLimit);
    EXPECT_NEAR(Camera.PitchDegrees(), 0.05 * 57.29577951, 1e-3);
    EXPECT_NEAR(Camera.YawDegrees(), heading, 1e-3);
}

TEST_F(CameraLook, AngleReadOutsAndTurn) {
    struct Case {
        tVec3 view;
        float yaw;
    };
    const Case cases[] = {
        {{-1.0f, 0.0f, 0.0f}, 90.0f},    {{1.0f, 0.0f, 0.0f}, -90.0f},
        {{0.0f, 0.0f, -1.0f}, 0.0f},     {{0.0f, 0.0f, 1.0f}, 0.0f}, // dx exactly 0
        {{0.01f, 0.0f, 1.0f}, -179.43f}, {{-0.01f, 0.0f, 1.0f}, 179.43f},
    };
    for (const Case& c : cases) {
        Camera.vView = c.view;
        EXPECT_NEAR(Camera.YawDegrees(), c.yaw, 0.01f) << c.view.x << "," << c.view.z;
    }
    Camera.vView = {0.0f, 0.0f, 1.0f};
    EXPECT_EQ(Camera.PitchDegrees(), 0.0f);
    Camera.vView = {0.0f, 1.0f, 1.0f};
    EXPECT_NEAR(Camera.PitchDegrees(), 45.0f, 1e-4f);

    Camera.vView = {0.0f, 0.0f, 1.0f};
    Camera.TurnView(1.5707963705f, 0.0f, 1.0f, 0.0f);
    EXPECT_NEAR(Camera.vView.x, 1.0f, 1e-6f);
    EXPECT_NEAR(Camera.vView.z, 0.0f, 1e-6f);
}

// A slight tilt of a game controller's right stick (0.3: 450 pixels a second) turns the view as
// far in one second of 1 ms frames as in one of 20 ms frames, though no single 1 ms read makes
// a whole pixel.
TEST_F(CameraLook, ASlightStickTiltTurnsAlikeAtAnyFrameRate) {
    const auto turnInOneSecond = [this](uint32_t stepMs) {
        SetUp();
        LookWithCursorAt(400, 300); // a read with the stick at rest starts its clock
        TestPlatformState().lookStickX = 0.3f;
        for (uint32_t ms = 0; ms < 1000; ms += stepMs) {
            TestAdvanceClock(stepMs);
            LookWithMouse(Camera);
        }
        return std::atan2(Direction().x, Direction().z) * kMouseDivisor; // pixels of turn
    };
    const float at20 = turnInOneSecond(20);
    const float at1 = turnInOneSecond(1);
    EXPECT_NEAR(at20, -450.0f, 1.01f);
    EXPECT_NEAR(at1, at20, 1.01f);
}

TEST_F(CameraLook, UpdateRefreshesTheSideVectorAndStepsTheTimer) {
    ResetFrameTimer();
    Camera.vSide = {7.0f, 7.0f, 7.0f};
    Camera.Place(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f);
    EXPECT_EQ(Camera.vSide, tVec3(7.0f, 7.0f, 7.0f)); // Place leaves it alone
    TestPlatformState().cursorX = 400;
    TestPlatformState().cursorY = 300;
    TestAdvanceClock(100);
    UpdateCamera(Camera);
    EXPECT_EQ(Camera.vSide, tVec3(-1.0f, 0.0f, 0.0f)); // to the right of a view along +z
    EXPECT_NEAR(FrameInterval, 0.1f, 1e-6f);
}

TEST_F(CameraLook, TurnsAboutAnyAxisLikeARotation) {
    // The turn against Rodrigues' formula in double precision, about axes with every component
    // set, from a view with every component set.
    struct Turn {
        tVec3 axis;
        double angle;
    };
    const Turn turns[] = {{{0.0f, 1.0f, 0.0f}, 0.3},
                          {{0.6f, 0.0f, 0.8f}, -0.7},
                          {{0.48f, 0.6f, 0.64f}, 1.1},
                          {{-0.8f, 0.36f, -0.48f}, 2.5},
                          {{0.0f, 0.0f, 1.0f}, -1.9}};
    const tVec3 position(2.0f, -1.0f, 5.0f);
    const tVec3 offset(0.3f, -0.5f, 0.8f);
    for (const Turn& t : turns) {
        Camera.Place(position.x, position.y, position.z, position.x + offset.x,
                     position.y + offset.y, position.z + offset.z, 0.0f, 1.0f, 0.0f);
        Camera.TurnView(static_cast<float>(t.angle), t.axis.x, t.axis.y, t.axis.z);
        const double k[3] = {t.axis.x, t.axis.y, t.axis.z};
        const double v[3] = {offset.x, offset.y, offset.z};
        const double c = std::cos(t.angle), s = std::sin(t.angle);
        const double dot = k[0] * v[0] + k[1] * v[1] + k[2] * v[2];
        const double cross[3] = {k[1] * v[2] - k[2] * v[1], k[2] * v[0] - k[0] * v[2],
                                 k[0] * v[1] - k[1] * v[0]};
        const tVec3 turned = Camera.vView - Camera.vPosition;
        const float got[3] = {turned.x, turned.y, turned.z};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(got[i], v[i] * c + cross[i] * s + k[i] * dot * (1.0 - c), 1e-5)
                << "axis " << t.axis.x << " " << t.axis.y << " " << t.axis.z << ", " << i;
        }
        EXPECT_EQ(Camera.vPosition, position);
    }
}

TEST_F(CameraLook, ApplyViewPutsTheLookAtPointStraightAhead) {
    tContextCloser closer;
    ASSERT_TRUE(OpenSdlContext(64, 64)) << "no offscreen video";
    // Eye, look-at point and up vector with every component distinct.
    Camera.Place(3.0f, 5.0f, 7.0f, 4.0f, 7.0f, 9.0f, 0.48f, 0.6f, 0.64f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Camera.ApplyView();
    GLfloat m[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const auto toEye = [&m](tVec3 p) {
        return tVec3(m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
                     m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                     m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]);
    };
    const auto expectNear = [](tVec3 a, tVec3 b, const char* what) {
        EXPECT_NEAR(a.x, b.x, 1e-4f) << what;
        EXPECT_NEAR(a.y, b.y, 1e-4f) << what;
        EXPECT_NEAR(a.z, b.z, 1e-4f) << what;
    };
    // The eye at the origin, the look-at point 3 units straight ahead (-z), the up vector in
    // the upper half of the screen's vertical plane.
    expectNear(toEye(Camera.vPosition), {0.0f, 0.0f, 0.0f}, "eye");
    expectNear(toEye(Camera.vView), {0.0f, 0.0f, -3.0f}, "look-at point");
    const tVec3 up = toEye(Camera.vPosition + Camera.vUpVector);
    EXPECT_NEAR(up.x, 0.0f, 1e-4f);
    EXPECT_GT(up.y, 0.1f);
}
