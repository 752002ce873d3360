// The player's shot: the two crossed rectangles, the nearest living enemy, damage by distance.
#include "terrain/blood.h"
#include "tests/world/test_world.h"
#include "world/shooting.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class Shooting : public testing::Test {
  protected:
    void SetUp() override {
        ResetSmallWorld();
        std::memset(BloodParticles, 0, sizeof(BloodParticles));
        ShotTarget = -1;
        HitPoint = {-1.0f, -1.0f, -1.0f};
    }
};

} // namespace

TEST_F(Shooting, DamageByDistanceFromTheEye) {
    struct Case {
        float distance;
        int health; // after one shot at full health
    };
    const Case cases[] = {{100.0f, 80}, {400.0f, 95}, {21.0f, 5},
                          {20.0f, 0},   {639.0f, 97}, {10.0f, 0}}; // 200 damage: 0, not -100
    for (const Case& c : cases) {
        ResetSmallWorld();
        std::memset(BloodParticles, 0, sizeof(BloodParticles));
        SetIdRanges(1, 0);
        PlaceEnemy(0, {0.0f, 50.0f, c.distance});
        FireShot();
        EXPECT_EQ(GetHealth(0), c.health) << c.distance;
        EXPECT_EQ(ShotTarget, 0);
        // The ray lies in the plane x = 0, so the rectangle across it gives the point.
        EXPECT_EQ(HitPoint, tVec3(0.0f, 50.0f, c.distance));
        EXPECT_TRUE(BloodActive);
        if (c.health > 0) {
            EXPECT_EQ(GetAnimation(0), kAnimHit);
            EXPECT_TRUE(BloodParticles[0].active);
            EXPECT_EQ(BloodEmitter.origin, HitPoint);
            // The wound's burst: reborn for 10 frames, over after 20, red, not cycling.
            EXPECT_EQ(BloodEmitter.respawnFrames, 10u);
            EXPECT_EQ(BloodEmitter.durationFrames, 20u);
            EXPECT_EQ(BloodEmitter.slowdown, 0.15f);
            EXPECT_FALSE(BloodEmitter.cycleColours);
            EXPECT_EQ(BloodEmitter.cycleDelay, 50u);
            EXPECT_EQ(BloodEmitter.colourIndex, 1u);
        } else {
            // A kill: exactly 0, no blood and no hit reaction; the next update lays it down.
            EXPECT_EQ(GetAnimation(0), kAnimIdle);
            EXPECT_FALSE(BloodParticles[0].active);
            UpdateWorld();
            EXPECT_EQ(GetState(0), kStateDead);
        }
    }
}

TEST_F(Shooting, NearestLivingEnemyTakesTheShot) {
    SetIdRanges(4, 1);
    PlaceEnemy(4, {0.0f, 50.0f, 50.0f}); // the first letter, nearest of all: not a target
    PlaceEnemy(0, {0.0f, 50.0f, 300.0f});
    PlaceEnemy(1, {0.0f, 50.0f, 200.0f}); // nearer: takes it
    PlaceEnemy(2, {0.0f, 50.0f, 100.0f}); // nearest, but dead: lets it through
    SceneObjects[2].state = kStateDead;
    SceneObjects[2].health = 0;
    PlaceEnemy(3, {40.0f, 50.0f, 150.0f}); // beside the line
    FireShot();
    EXPECT_EQ(ShotTarget, 1);
    EXPECT_EQ(GetHealth(0), 100);
    EXPECT_EQ(GetHealth(1), 90);
    EXPECT_EQ(GetHealth(3), 100);
    EXPECT_EQ(GetHealth(4), 100);

    // Two on the same spot: the lower id keeps the shot.
    SetPosition(0, {0.0f, 50.0f, 200.0f});
    FireShot();
    EXPECT_EQ(ShotTarget, 0);
    EXPECT_EQ(GetHealth(0), 90);
    EXPECT_EQ(GetHealth(1), 90);

    // The first one dead, a killing shot leaves the second at exactly 0, the first untouched.
    SceneObjects[0].state = kStateDead;
    SetHealth(1, 5);
    FireShot();
    EXPECT_EQ(ShotTarget, 1);
    EXPECT_EQ(GetHealth(1), 0);
    EXPECT_EQ(GetHealth(0), 90);
}

TEST_F(Shooting, MissesKeepTheLastTarget) {
    SetIdRanges(2, 0);
    // Wholly beyond the shot's 640 units.
    PlaceEnemy(0, {0.0f, 50.0f, 660.0f});
    // At 45 degrees past both rectangles, though through the model's bounding box: from
    // (5, 50, 0) along (1, 0, 1) the line meets x = 20 at z = 15 and z = 20 at x = 25.
    PlaceEnemy(1, {20.0f, 50.0f, 20.0f});
    // What an earlier hit left: the misses must not touch it.
    ShotTarget = 7;
    HitPoint = {7.0f, 7.0f, 7.0f};
    FireShot();
    Camera.Place(5.0f, 50.0f, 0.0f, 6.0f, 50.0f, 1.0f, 0.0f, 1.0f, 0.0f);
    FireShot();
    EXPECT_EQ(GetHealth(0), 100);
    EXPECT_EQ(GetHealth(1), 100);
    EXPECT_EQ(ShotTarget, 7);
    EXPECT_EQ(HitPoint, tVec3(7.0f, 7.0f, 7.0f));
    EXPECT_FALSE(BloodActive);

    tVec3 hit(9.0f, 9.0f, 9.0f);
    EXPECT_FALSE(HitTestObject(1, Camera, hit));
    EXPECT_EQ(hit, tVec3(0.0f, 0.0f, 0.0f));
    // Straight at it, the first crossed triangle (the x = 20 rectangle) gives the point.
    Camera.Place(0.0f, 50.0f, 0.0f, 1.0f, 50.0f, 1.0f, 0.0f, 1.0f, 0.0f);
    ASSERT_TRUE(HitTestObject(1, Camera, hit));
    EXPECT_NEAR(hit.x, 20.0f, 1e-3f);
    EXPECT_NEAR(hit.z, 20.0f, 1e-3f);
}

TEST_F(Shooting, TheTargetIsTwoCrossedRectanglesOfTheScaledBoxAndDamageGoesByItsCentre) {
    // Half extents 3, 10, 4 at scale 2: the rectangle across the z axis spans x +-6, the one
    // across the x axis z +-8, both y +-20 round the position. Shots parallel to an axis, just
    // inside and just outside each edge; the damage goes by the distance from the eye to the
    // enemy's position, not to the point hit.
    struct Shot {
        tVec3 eye, direction;
        int health; // 100 when missed
    };
    const Shot shots[] = {
        {{5.9f, 50.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, 51},  // 2000 / 40.43, not 2000 / 40
        {{6.1f, 50.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, 100}, //
        {{-5.9f, 50.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, 51}, //
        {{0.0f, 69.9f, 0.0f}, {0.0f, 0.0f, 1.0f}, 55},  // 2000 / 44.7
        {{0.0f, 70.1f, 0.0f}, {0.0f, 0.0f, 1.0f}, 100}, //
        {{0.0f, 30.1f, 0.0f}, {0.0f, 0.0f, 1.0f}, 55},  //
        {{0.0f, 29.9f, 0.0f}, {0.0f, 0.0f, 1.0f}, 100}, //
        {{-40.0f, 50.0f, 47.9f}, {1.0f, 0.0f, 0.0f}, 51},
        {{-40.0f, 50.0f, 48.1f}, {1.0f, 0.0f, 0.0f}, 100},
        {{40.0f, 50.0f, 32.1f}, {-1.0f, 0.0f, 0.0f}, 51},
        {{40.0f, 50.0f, 31.9f}, {-1.0f, 0.0f, 0.0f}, 100},
    };
    for (const Shot& s : shots) {
        ResetSmallWorld();
        SetIdRanges(1, 0);
        PlaceEnemy(0, {0.0f, 50.0f, 40.0f});
        SceneObjects[0].scale = 2.0f;
        Camera.Place(s.eye.x, s.eye.y, s.eye.z, s.eye.x + s.direction.x, s.eye.y + s.direction.y,
                     s.eye.z + s.direction.z, 0.0f, 1.0f, 0.0f);
        FireShot();
        EXPECT_EQ(GetHealth(0), s.health) << s.eye.x << " " << s.eye.y << " " << s.eye.z;
        EXPECT_EQ(BloodActive, s.health < 100) << s.eye.x << " " << s.eye.y << " " << s.eye.z;
    }
}
