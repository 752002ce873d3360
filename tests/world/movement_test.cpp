// Walking with the eight keys: ground following, head bob, the field's bounds and collision.
#include "camera/camera.h"
#include "basics/frame_timer.h"
#include "models/md2_loader.h"
#include "platform/platform_test.h"
#include "terrain/height_map.h"
#include "world/movement.h"
#include "objects/scene_objects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

class Movement : public testing::Test {
  protected:
    void SetUp() override {
        ResetTestPlatform();
        ClearSceneObjects();
        std::memset(HeightMap, 0, sizeof(HeightMap)); // flat ground at height 0
        BobPhase = 0.0f;
        FrameInterval = 0.02f; // a step of 2 units
        Camera.Place(0.0f, 50.0f, 0.0f, 0.0f, 50.0f, 1.0f, 0.0f, 1.0f, 0.0f);
        Camera.vSide = Normalized(CrossProduct(Camera.vView - Camera.vPosition, Camera.vUpVector));
    }
    void Hold(std::initializer_list<tKey> keys) {
        for (tKey key : keys) {
            TestPlatformState().keys[key] = true;
        }
    }
    // Eye and look-at point at (x, 50, z), looking one unit along (dx, 0, dz).
    void PlaceAt(float x, float z, float dx, float dz) {
        Camera.Place(x, 50.0f, z, x + dx, 50.0f, z + dz, 0.0f, 1.0f, 0.0f);
    }
    static double Bob(double phase) { return std::sin(phase * 57.29577951) * 4.0; }
};

} // namespace

TEST_F(Movement, KeyRowsStepOnceEachAndFollowTheGround) {
    PollMovementKeys(Camera);
    EXPECT_EQ(Camera.vPosition, tVec3(0.0f, 50.0f, 0.0f));
    EXPECT_EQ(BobPhase, 0.0f);

    // Both keys of a row: one step of 2, the eye 50 above the ground plus the bob.
    Hold({kKeyUp, kKeyW});
    PollMovementKeys(Camera);
    EXPECT_FLOAT_EQ(Camera.vPosition.z, 2.0f);
    EXPECT_FLOAT_EQ(BobPhase, 0.002f);
    EXPECT_NEAR(Camera.vPosition.y, 50.0 + Bob(0.002), 1e-4);
    EXPECT_FLOAT_EQ(Camera.vView.y - Camera.vPosition.y, 0.0f); // pitch kept

    // Forward and back together: two steps that end where they began, phase included.
    Hold({kKeyDown});
    PollMovementKeys(Camera);
    EXPECT_NEAR(Camera.vPosition.z, 2.0f, 1e-5f);
    EXPECT_NEAR(BobPhase, 0.002f, 1e-7f);

    // Two different rows, forward and right: each takes its whole step.
    ResetTestPlatform();
    Hold({kKeyW, kKeyD});
    PollMovementKeys(Camera);
    EXPECT_NEAR(Camera.vPosition.z, 4.0f, 1e-5f);
    EXPECT_NEAR(Camera.vPosition.x, -2.0f, 1e-5f); // right of +z is -x
}

TEST_F(Movement, RaisedViewShortensTheGroundStep) {
    Camera.vView = {0.0f, 50.0f + std::sin(0.5f), std::cos(0.5f)};
    Walk(Camera, 2.0f);
    EXPECT_NEAR(Camera.vPosition.z, 2.0f * 0.8776f, 1e-3f);
}

TEST_F(Movement, FieldBoundsAreInclusive) {
    struct Case {
        float x, z, dx, dz;
        bool moves;
    };
    const Case cases[] = {
        {598.0f, 0.0f, 1.0f, 0.0f, true},     // to x = 600 exactly
        {598.01f, 0.0f, 1.0f, 0.0f, false},   // to x = 600.01
        {-2798.0f, 0.0f, -1.0f, 0.0f, true},  // to x = -2800
        {-2798.5f, 0.0f, -1.0f, 0.0f, false}, // to x = -2800.5
        {0.0f, 1698.0f, 0.0f, 1.0f, true},    // to z = 1700
        {0.0f, 1698.5f, 0.0f, 1.0f, false},   // to z = 1700.5
        {0.0f, -398.5f, 0.0f, -1.0f, false},  // to z = -400.5
    };
    for (const Case& c : cases) {
        PlaceAt(c.x, c.z, c.dx, c.dz);
        Walk(Camera, 2.0f);
        const float moved =
            std::fabs(Camera.vPosition.x - c.x) + std::fabs(Camera.vPosition.z - c.z);
        EXPECT_NEAR(moved, c.moves ? 2.0f : 0.0f, 1e-3f) << c.x << "," << c.z;
    }
}

TEST_F(Movement, CollisionCircleTakesTheStepBack) {
    // Half extents 3 x 4: a ground radius of 5 around (10, 0, 0).
    SceneObjects[7].position = {10.0f, 0.0f, 0.0f};
    SceneObjects[7].halfExtents = {3.0f, 9.0f, 4.0f};
    SceneObjects[7].scale = 1.0f;
    SceneObjects[7].collidable = true;
    ASSERT_EQ(GroundRadius(7), 5.0f);

    PlaceAt(3.0f, 0.0f, 1.0f, 0.0f);
    Walk(Camera, 2.0f); // ends exactly on the circle: allowed
    EXPECT_FLOAT_EQ(Camera.vPosition.x, 5.0f);

    const float phase = BobPhase;
    Walk(Camera, 2.0f); // would end 3 units from the centre: taken back
    EXPECT_NEAR(Camera.vPosition.x, 5.0f, 1e-4f);
    EXPECT_FLOAT_EQ(BobPhase, phase + 0.004f); // advanced by both step values
    EXPECT_NEAR(Camera.vPosition.y, 50.0 + Bob(BobPhase), 1e-4);

    // Sideways into it as well: the right of a view along -z is +x.
    PlaceAt(5.0f, 0.0f, 0.0f, -1.0f);
    Camera.vSide = Normalized(CrossProduct(Camera.vView - Camera.vPosition, Camera.vUpVector));
    const float sidePhase = BobPhase;
    Sidestep(Camera, 2.0f);
    EXPECT_NEAR(Camera.vPosition.x, 5.0f, 1e-4f);
    EXPECT_FLOAT_EQ(BobPhase, sidePhase + 0.004f); // taken back with the same step's phase
    EXPECT_NEAR(Camera.vPosition.y, 50.0 + Bob(BobPhase), 1e-4);
    Sidestep(Camera, -2.0f);
    EXPECT_NEAR(Camera.vPosition.x, 3.0f, 1e-4f);

    // Not collidable: no obstacle.
    SceneObjects[7].collidable = false;
    PlaceAt(5.0f, 0.0f, 1.0f, 0.0f);
    Walk(Camera, 2.0f);
    EXPECT_FLOAT_EQ(Camera.vPosition.x, 7.0f);

    // The first and the last slot of the table block as well, whatever the level's ranges.
    for (const int id : {0, kMaxSceneObjects - 1}) {
        ClearSceneObjects();
        SceneObjects[id].position = {10.0f, 0.0f, 0.0f};
        SceneObjects[id].halfExtents = {3.0f, 9.0f, 4.0f};
        SceneObjects[id].scale = 1.0f;
        SceneObjects[id].collidable = true;
        PlaceAt(5.0f, 0.0f, 1.0f, 0.0f);
        Walk(Camera, 2.0f);
        EXPECT_NEAR(Camera.vPosition.x, 5.0f, 1e-4f) << id;
    }
}
