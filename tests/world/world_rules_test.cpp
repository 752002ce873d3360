// The enemies' rules, letter pickup and the end of the mission, on small worlds.
#include "tests/render/offscreen_gl.h"
#include "tests/world/test_world.h"
#include "world/shooting.h"

#include <gtest/gtest.h>

namespace {

class WorldRules : public testing::Test {
  protected:
    void SetUp() override { ResetSmallWorld(); }
    // The eye is at (0, 50, 0); an enemy at horizontal offset (x, z) and height y.
    static tVec3 At(float x, float z, float y = 50.0f) { return {x, y, z}; }
    // A second frame 20 ms after the first.
    static void NextFrame() {
        TestAdvanceClock(20);
        UpdateWorld();
    }
};

} // namespace

TEST_F(WorldRules, WakeRadiusIsHorizontalAndStrict) {
    SetIdRanges(4, 0);
    PlaceEnemy(0, At(639.0f, 0.0f));
    PlaceEnemy(1, At(640.0f, 0.0f));
    PlaceEnemy(2, At(600.0f, 0.0f, -350.0f)); // 3D distance about 721, horizontally 600
    PlaceEnemy(3, At(30.0f, 30.0f, -450.0f)); // 42 units away horizontally: close range
    SeedFireDraws({false, false, false, false, false});
    UpdateWorld();
    EXPECT_EQ(GetState(0), kStateAwake);
    EXPECT_EQ(GetState(1), kStateIdle);
    EXPECT_EQ(GetState(2), kStateAwake);
    EXPECT_EQ(GetState(3), kStateIdle);          // woken, then stopped by the close range
    EXPECT_EQ(WorldFrameInterval, 0.0f);         // the first update measures nothing
    EXPECT_EQ(GetPosition(0), At(639.0f, 0.0f)); // so no enemy moved

    // An awake enemy beyond the radius stays awake.
    SetPosition(0, At(5000.0f, 0.0f));
    SetAnimation(0, kAnimAttack); // standing still, not firing
    UpdateWorld();
    EXPECT_EQ(GetState(0), kStateAwake);
}

TEST_F(WorldRules, EnemyFireCostsHealthByDistanceAndTintsRed) {
    struct Case {
        float distance;
        int health, expected;
    };
    const Case cases[] = {
        {200.0f, 100, 95}, {100.0f, 100, 90}, {639.0f, 100, 98},
        {10.0f, 100, 0},   {200.0f, 3, 0}, // never below 0
        {0.0f, 100, 0},                    // on the player's spot: no division by zero
    };
    for (const Case& c : cases) {
        ResetSmallWorld();
        SetIdRanges(1, 0);
        PlaceEnemy(0, At(c.distance, 0.0f));
        PlayerHealth = c.health;
        SeedFireDraws({true});
        UpdateWorld();
        EXPECT_EQ(PlayerHealth, c.expected) << c.distance;
        EXPECT_EQ(RedTintFrames, 75) << "50 frames per second x 1.5";
        EXPECT_EQ(GetAnimation(0), kAnimAttack);
        CheckMissionEnd();
        const auto& boxes = TestPlatformState().boxes;
        ASSERT_EQ(boxes.size(), c.expected == 0 ? 1u : 0u) << c.distance;
        if (c.expected == 0) {
            EXPECT_EQ(boxes[0].caption, "DEFEAT !");
            EXPECT_EQ(boxes[0].text, "Killed by enemies. Mission unsuccessful.");
            EXPECT_EQ(boxes[0].buttons, kButtonsOk);
            EXPECT_TRUE(QuitRequested());
            tEvent quit{};
            ASSERT_TRUE(PollEvent(&quit));
            EXPECT_EQ(quit.kind, kEventQuit);
            EXPECT_EQ(quit.exitCode, 0) << "a lost mission still ends the game normally";
        }
    }
}

TEST_F(WorldRules, AwakeEnemiesWalkTowardThePlayerUnlessBlocked) {
    SetIdRanges(6, 0);
    PlaceEnemy(0, At(0.0f, 400.0f));
    PlaceEnemy(1, At(-200.0f, 0.0f));
    PlaceEnemy(2, At(0.0f, -300.0f)); // its step ends on a piece of scenery
    SetAnimation(2, kAnimRun);
    SceneObjects[9].position = {0.0f, 0.0f, -297.0f};
    SceneObjects[9].halfExtents = {3.0f, 3.0f, 4.0f};
    SceneObjects[9].scale = 1.0f;
    SceneObjects[9].collidable = true;
    PlaceEnemy(3, At(300.0f, 0.0f)); // its step ends on a dead enemy, which does not block
    PlaceEnemy(4, At(292.0f, 0.0f));
    SceneObjects[4].health = 0;
    // A level scaled this one past any int: its radius reaches everything, so it never moves.
    // (Not collidable itself, so that it blocks no one else.)
    PlaceEnemy(5, At(-300.0f, -300.0f));
    SceneObjects[5].scale = 1e30f;
    SceneObjects[5].collidable = false;

    SeedFireDraws({false, false, false, false, false, false, false, false, false, false});
    UpdateWorld();
    // The camera moved since the (0, 0, 0) of the first update: the blocked enemy keeps running.
    EXPECT_EQ(GetAnimation(2), kAnimRun);
    NextFrame();
    EXPECT_FLOAT_EQ(WorldFrameInterval, 0.02f);
    // 400 away: 400 x 0.02 x 0.5 = 4 units; 200 away: 2; the origin 25 above the ground.
    EXPECT_NEAR(GetPosition(0).z, 396.0f, 1e-3f);
    EXPECT_EQ(GetPosition(0).y, 25.0f);
    EXPECT_EQ(GetAnimation(0), kAnimRun);
    EXPECT_NEAR(GetPosition(1).x, -198.0f, 1e-3f);
    // Radius 5 + 5 against 0 units after the step: back where it stood, height included; the
    // player stood still this frame, so it stands.
    EXPECT_EQ(GetPosition(2), At(0.0f, -300.0f));
    EXPECT_EQ(GetAnimation(2), kAnimIdle);
    EXPECT_NEAR(GetPosition(3).x, 297.0f, 1e-3f);
    // Dead: the death animation, the dead state, no collision, no movement.
    EXPECT_EQ(GetState(4), kStateDead);
    EXPECT_EQ(GetAnimation(4), kAnimDeath);
    EXPECT_FALSE(IsCollidable(4));
    EXPECT_EQ(GetPosition(4), At(292.0f, 0.0f));
    EXPECT_EQ(GetPosition(5), At(-300.0f, -300.0f));
}

// A stall (ten seconds between two frames) moves nobody further than a quarter second would:
// the player walking into a rock stays before it, and an enemy walking up from behind covers an
// eighth of its way instead of passing the player.
TEST_F(WorldRules, AStallWalksNoOneThroughScenery) {
    SetIdRanges(1, 0);
    PlaceEnemy(0, At(0.0f, -300.0f));
    // A rock of ground radius 50 whose circle begins 10 units ahead.
    SceneObjects[9].position = {0.0f, 0.0f, 60.0f};
    SceneObjects[9].halfExtents = {30.0f, 10.0f, 40.0f};
    SceneObjects[9].scale = 1.0f;
    SceneObjects[9].collidable = true;
    SeedFireDraws({false, false, false, false, false, false, false, false, false, false, false});
    TestPlatformState().keys[kKeyW] = true;
    UpdateWorld();
    for (int frame = 0; frame < 8; ++frame) {
        NextFrame();
    }
    EXPECT_NEAR(Camera.Position().z, 10.0f, 1e-3f); // 2 units a frame up to the rock's circle
    const float before = GetPosition(0).z;
    ASSERT_LT(before, -250.0f);

    TestAdvanceClock(10000);
    UpdateWorld();
    EXPECT_EQ(WorldFrameInterval, kMaxFrameInterval);
    const float eighth = (Camera.Position().z - before) * kMaxFrameInterval * kEnemyStepFactor;
    EXPECT_NEAR(GetPosition(0).z, before + eighth, 0.01f);
    NextFrame(); // the walk of the frame after the stall takes the stall's interval
    EXPECT_NEAR(Camera.Position().z, 10.0f, 1e-3f);
    EXPECT_LT(GetPosition(0).z, Camera.Position().z - kCloseRange);
}

TEST_F(WorldRules, EnemiesTurnTowardThePlayer) {
    struct Case {
        float dx, dz; // the player's offset from the enemy
        float heading;
    };
    const Case cases[] = {
        {3.0f, 0.0005f, -180.0f},   {3.0f, -0.0005f, 180.0f}, {-3.0f, 0.0005f, 0.0f},
        {-3.0f, -0.0005f, -360.0f}, {0.0f, 0.0f, -180.0f},    {0.0f, 50.0f, -90.0f},
        {50.0f, -50.0f, 45.0f},
    };
    for (const Case& c : cases) {
        ResetSmallWorld();
        SetIdRanges(1, 0);
        PlaceEnemy(0, At(-c.dx, -c.dz));
        SeedFireDraws({false});
        UpdateWorld();
        EXPECT_NEAR(SceneObjects[0].rotY, c.heading, 1e-3f) << c.dx << "," << c.dz;
    }
}

TEST_F(WorldRules, CloseEnemyStandsOnceThePlayerStandsStill) {
    SetIdRanges(1, 0);
    PlaceEnemy(0, At(50.0f, 0.0f));
    SetAnimation(0, kAnimRun);
    SeedFireDraws({false, false});
    UpdateWorld(); // the camera moved from (0, 0, 0) to the eye: keeps running
    EXPECT_EQ(GetState(0), kStateIdle);
    EXPECT_EQ(GetAnimation(0), kAnimRun);
    NextFrame();
    EXPECT_EQ(GetAnimation(0), kAnimIdle);
    EXPECT_EQ(GetPosition(0), At(50.0f, 0.0f));
}

TEST_F(WorldRules, LettersOnlyInOrderOnePerFrameThenVictory) {
    SetIdRanges(0, 5);
    for (int id = 0; id < 5; ++id) {
        SceneObjects[id].position = {static_cast<float>(id) * 40.0f, 50.0f, 1000.0f};
    }
    PlayerHealth = 40;
    Camera.Place(80.0f, 50.0f, 1000.0f, 80.0f, 50.0f, 1001.0f, 0.0f, 1.0f, 0.0f);
    UpdateWorld(); // at the third letter before the first: nothing
    EXPECT_EQ(LettersCollected, 0u);
    EXPECT_EQ(PlayerHealth, 40);

    // Between the first and second (20 units from each): one per frame, health refilled.
    Camera.Place(20.0f, 50.0f, 1000.0f, 20.0f, 50.0f, 1001.0f, 0.0f, 1.0f, 0.0f);
    UpdateWorld();
    EXPECT_EQ(LettersCollected, 1u);
    EXPECT_EQ(PlayerHealth, 100);
    UpdateWorld();
    EXPECT_EQ(LettersCollected, 2u);
    UpdateWorld();
    EXPECT_EQ(LettersCollected, 2u);

    for (int id = 2; id < 5; ++id) {
        const tVec3 p = SceneObjects[id].position;
        Camera.Place(p.x, p.y, p.z - 49.0f, p.x, p.y, p.z, 0.0f, 1.0f, 0.0f);
        UpdateWorld();
        CheckMissionEnd();
    }
    EXPECT_EQ(LettersCollected, 5u);
    const auto& boxes = TestPlatformState().boxes;
    ASSERT_EQ(boxes.size(), 1u); // shown in the frame of the fifth letter
    EXPECT_EQ(boxes[0].caption, "VICTORY !");
    EXPECT_EQ(boxes[0].text, "Letters collected. Mission successful.");
    EXPECT_TRUE(QuitRequested());
}

TEST_F(WorldRules, PickupsStopAtTheLevelsLetterCount) {
    SetIdRanges(0, 2);
    SceneObjects[0].position = {0.0f, 50.0f, 0.0f};
    SceneObjects[1].position = {0.0f, 50.0f, 0.0f};
    SceneObjects[2].position = {0.0f, 50.0f, 0.0f}; // scenery, not a letter
    for (int frame = 0; frame < 4; ++frame) {
        UpdateWorld();
    }
    EXPECT_EQ(LettersCollected, 2u);
}

TEST_F(WorldRules, VictoryAndDefeatInOneFrameVictoryFirst) {
    LettersCollected = 5;
    PlayerHealth = 0;
    CheckMissionEnd();
    const auto& boxes = TestPlatformState().boxes;
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "VICTORY !");
    EXPECT_EQ(boxes[1].caption, "DEFEAT !");
    EXPECT_TRUE(QuitRequested());
}

TEST_F(WorldRules, AFlinchingEnemyStaysPutYetFiresAndAFiringOneNeitherWalksNorDraws) {
    SetIdRanges(3, 0);
    PlaceEnemy(0, At(0.0f, 300.0f)); // the player's shot makes it flinch
    PlaceEnemy(1, At(200.0f, 0.0f)); // already firing
    SetAnimation(1, kAnimAttack);
    PlaceEnemy(2, At(-400.0f, 0.0f)); // walking
    FireShot();
    ASSERT_EQ(GetAnimation(0), kAnimHit);
    ASSERT_EQ(GetHealth(0), 93); // 2000 / 300 rounded

    // One draw per frame and able enemy, in id order: the firing one draws none. Frame 1: no
    // one fires; frame 2: the flinching one fires (1000 / 300 rounded is 3), the walker not.
    SeedFireDraws({false, false, true, false});
    UpdateWorld();
    // The walker's run has moved on a key frame; walking on does not restart it.
    SceneObjects[2].model.currentFrameIndex += 1;
    const int32_t runFrame = SceneObjects[2].model.currentFrameIndex;
    NextFrame();
    EXPECT_EQ(SceneObjects[2].model.currentFrameIndex, runFrame);
    EXPECT_EQ(PlayerHealth, 97);
    EXPECT_EQ(RedTintFrames, 75);
    EXPECT_EQ(GetPosition(0), At(0.0f, 300.0f));
    EXPECT_EQ(GetAnimation(0), kAnimHit) << "firing does not end the flinch";
    EXPECT_EQ(GetPosition(1), At(200.0f, 0.0f));
    EXPECT_EQ(GetAnimation(1), kAnimAttack);
    // The walker took its two steps (the first of no time), toward the player, on the ground.
    EXPECT_NEAR(GetPosition(2).x, -396.0f, 1e-3f);
    EXPECT_EQ(GetPosition(2).y, 25.0f);
    EXPECT_EQ(GetAnimation(2), kAnimRun);
    // All three turned to face the player, flinching and firing included (the model's own
    // facing is 90 degrees off the heading rule's).
    EXPECT_NEAR(SceneObjects[0].rotY, -90.0f, 1e-3f);
    EXPECT_NEAR(SceneObjects[1].rotY, -180.0f, 1e-3f);
    EXPECT_NEAR(SceneObjects[2].rotY, 0.0f, 1e-3f);
}

TEST(WorldUpdate, TheFramesViewIsAppliedFromTheCamera) {
    ASSERT_TRUE(OpenOffscreenGL(800, 600)) << "no offscreen video";
    ResetSmallWorld();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    UpdateWorld();
    // The eye stands 50 above the ground looking along +z: the look-at transform turns the world
    // half round and brings it 50 down.
    GLfloat m[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[0], -1.0f);
    EXPECT_FLOAT_EQ(m[13], -50.0f);
    CloseOffscreenGL();
}
