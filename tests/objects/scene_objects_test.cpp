// The scene object table's accessors at their edges: empty slots, animation selection, the
// ground radius and releasing key frames.
#include "models/md2_loader.h"
#include "objects/scene_objects.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// An object with animations [0, 4), [4, 9), [9, 12) and the given key frames.
void GiveAnimations(int id, int frames) {
    tModel& model = SceneObjects[id].model;
    model.numFrames = frames;
    model.frames.resize(static_cast<size_t>(frames));
    model.animations = {{"stand", 0, 4, false}, {"run", 4, 9, false}, {"attack", 9, 12, false}};
    model.numAnimations = 3;
}

} // namespace

TEST(SceneObjects, AnEmptySlotIsAllZero) {
    ClearSceneObjects();
    for (const int id : {0, 500, kMaxSceneObjects - 1}) {
        EXPECT_EQ(GetPosition(id), tVec3(0.0f, 0.0f, 0.0f));
        EXPECT_EQ(GetState(id), 0);
        EXPECT_EQ(GetHealth(id), 0);
        EXPECT_EQ(GetAnimation(id), 0);
        EXPECT_FALSE(IsCollidable(id));
        EXPECT_EQ(GroundRadius(id), 0.0f);
        EXPECT_EQ(SceneObjects[id].model.numFrames, 0);
        EXPECT_TRUE(SceneObjects[id].model.frames.empty());
    }
    // A record made on the stack starts empty too.
    const tSceneObject local;
    EXPECT_EQ(local.scale, 0.0f);
    EXPECT_FALSE(local.writesDepth);
    EXPECT_EQ(local.model.currentFrameIndex, 0);
}

TEST(SceneObjects, SetAnimationRestartsAndAlwaysCopiesIntoTheSubModel) {
    ClearSceneObjects();
    GiveAnimations(1, 12);
    tSceneObject& o = SceneObjects[1];
    SetAnimation(1, 1);
    EXPECT_EQ(GetAnimation(1), 1);
    EXPECT_EQ(o.model.currentFrameIndex, 4);
    // The same animation again starts over.
    o.model.currentFrameIndex = 7;
    SetAnimation(1, 1);
    EXPECT_EQ(o.model.currentFrameIndex, 4);
    // Indices the list does not have (the count itself, a negative one) change nothing in the
    // model but still copy it into the sub-model.
    o.model.currentFrameIndex = 6;
    for (const int index : {3, -1, 16}) {
        o.subModel.currentAnim = 99;
        o.subModel.currentFrameIndex = 99;
        SetAnimation(1, index);
        EXPECT_EQ(GetAnimation(1), 1) << index;
        EXPECT_EQ(o.model.currentFrameIndex, 6) << index;
        EXPECT_EQ(o.subModel.currentAnim, 1) << index;
        EXPECT_EQ(o.subModel.currentFrameIndex, 6) << index;
    }
    // A slot with no model at all.
    SetAnimation(2, 0);
    EXPECT_EQ(GetAnimation(2), 0);
}

TEST(SceneObjects, SetAnimationLoopsOnlyWithinTheList) {
    ClearSceneObjects();
    GiveAnimations(1, 12);
    SetAnimationLoops(1, 2, true);
    EXPECT_TRUE(SceneObjects[1].model.animations[2].loops);
    SetAnimationLoops(1, 2, false);
    EXPECT_FALSE(SceneObjects[1].model.animations[2].loops);
    // Ignored: past the list, negative, and on a slot whose model failed to load.
    SetAnimationLoops(1, 3, true);
    SetAnimationLoops(1, -1, true);
    SetAnimationLoops(5, 0, true);
    EXPECT_EQ(SceneObjects[1].model.animations.size(), 3u);
    EXPECT_TRUE(SceneObjects[5].model.animations.empty());
}

TEST(SceneObjects, GroundRadiusTruncatesEachPartBeforeSquaring) {
    ClearSceneObjects();
    const struct {
        tVec3 half;
        float scale;
        float radius;
    } cases[] = {
        {{10.7f, 50.0f, 3.2f}, 1.0f, std::sqrt(109.0f)}, // 10 and 3, the height ignored
        {{10.7f, 50.0f, 3.2f}, 0.0f, 0.0f},              // scale 0 until first drawn
        {{3.0f, 0.0f, 4.0f}, 2.0f, 10.0f},
        {{0.9f, 9.0f, 0.9f}, 1.0f, 0.0f},
        {{-3.7f, 0.0f, 4.0f}, 1.0f, 5.0f}, // toward zero
        // Far beyond an int: no overflow, just a large radius.
        {{1.0e20f, 0.0f, 0.0f}, 1.0e10f, 1.0e30f},
    };
    for (const auto& c : cases) {
        SceneObjects[3].halfExtents = c.half;
        SetScale(3, c.scale);
        EXPECT_FLOAT_EQ(GroundRadius(3), c.radius) << c.half.x << " x " << c.scale;
    }
}

TEST(SceneObjects, SimpleAccessorsReadBackWhatTheyWrote) {
    ClearSceneObjects();
    SetPosition(9, {1.0f, 2.0f, 3.0f});
    SetRotY(9, 90.0f);
    SetCollidable(9, true);
    SetWritesDepth(9, true);
    SetState(9, kStateDead);
    SetHealth(9, 40);
    EXPECT_EQ(GetPosition(9), tVec3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(SceneObjects[9].rotY, 90.0f);
    EXPECT_TRUE(IsCollidable(9));
    EXPECT_TRUE(SceneObjects[9].writesDepth);
    EXPECT_EQ(GetState(9), kStateDead);
    EXPECT_EQ(GetHealth(9), 40);
    EXPECT_FALSE(IsCollidable(10)); // neighbours untouched
}

// Freeing twice (shutdown after a test's own clean-up) must not free twice; ASan watches.
TEST(SceneObjects, FreeSceneObjectReleasesBothModelsOnce) {
    ClearSceneObjects();
    tSceneObject& o = SceneObjects[4];
    o.model.numFrames = 2;
    o.model.frames.resize(2);
    o.model.frames[0].vertices = new tVec3[3];
    o.model.frames[0].faces = new tTriangle[1];
    o.model.frames[0].texCoords = new tTexCoord[3];
    o.model.frames[1].vertices = new tVec3[3];
    o.subModel.numFrames = 1;
    o.subModel.frames.resize(1);
    o.subModel.frames[0].vertices = new tVec3[3];
    FreeSceneObject(4);
    FreeSceneObject(4);
    EXPECT_EQ(o.model.frames[0].vertices, nullptr);
    EXPECT_EQ(o.model.frames[1].vertices, nullptr);
    EXPECT_EQ(o.subModel.frames[0].vertices, nullptr);
    EXPECT_EQ(o.model.numFrames, 2); // it clears nothing else
    for (int id = 0; id < kMaxSceneObjects; ++id) {
        FreeSceneObject(id);
    }
    ClearSceneObjects();
    EXPECT_EQ(o.model.numFrames, 0);
}
