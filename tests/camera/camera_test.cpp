// Mouse look, the view turn and the camera's angle read-outs, over the test backend's cursor.
#include "app/game_state.h"
#include "app/platform_test.h"
#include "camera/camera.h"
#include "camera/frame_timer.h"

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
        Camera.MouseLook();
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

TEST_F(CameraLook, UpdateRefreshesTheSideVectorAndStepsTheTimer) {
    ResetFrameTimer();
    Camera.vSide = {7.0f, 7.0f, 7.0f};
    Camera.Place(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f);
    EXPECT_EQ(Camera.vSide, tVec3(7.0f, 7.0f, 7.0f)); // Place leaves it alone
    TestPlatformState().cursorX = 400;
    TestPlatformState().cursorY = 300;
    TestAdvanceClock(1000);
    Camera.Update();
    EXPECT_EQ(Camera.vSide, tVec3(-1.0f, 0.0f, 0.0f)); // to the right of a view along +z
    EXPECT_NEAR(FrameInterval, 1.0f, 1e-6f);
}
