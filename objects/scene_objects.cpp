#include "objects/scene_objects.h"

#include <cmath>

// Whole run: every slot starts empty and is filled by the level's entries.
tSceneObject SceneObjects[kMaxSceneObjects];

// Per level: set from the level header; FirstId never changes.

uint32_t FirstId = 0;
uint32_t EnemyCount = 0;
uint32_t LetterCount = 0;
uint32_t SolidCount = 0;
uint32_t TransparentCount = 0;
uint32_t EnemyEnd = 0;
uint32_t SolidEnd = 0;
uint32_t TransparentEnd = 0;

int GetAnimation(int id) {
    return SceneObjects[id].model.currentAnim;
}

// The index is compared as unsigned, so a negative one is as unknown as one past the list. Even
// the current animation restarts from its first frame. The carried model always shows its
// bearer's animation and key frame.
void SetAnimation(int id, int index) {
    tSceneObject& object = SceneObjects[id];
    tModel& model = object.model;
    if (static_cast<uint32_t>(index) < static_cast<uint32_t>(model.numAnimations) &&
        static_cast<size_t>(index) < model.animations.size()) {
        model.currentAnim = index;
        model.currentFrameIndex = model.animations[static_cast<size_t>(index)].firstFrame;
    }
    object.subModel.currentAnim = model.currentAnim;
    object.subModel.currentFrameIndex = model.currentFrameIndex;
}

// A level may name loops a model does not have (or a model that failed to load): ignored.
void SetAnimationLoops(int id, int index, bool loops) {
    tModel& model = SceneObjects[id].model;
    if (index >= 0 && static_cast<size_t>(index) < model.animations.size()) {
        model.animations[static_cast<size_t>(index)].loops = loops;
    }
}

tVec3 GetPosition(int id) {
    return SceneObjects[id].position;
}
void SetPosition(int id, tVec3 position) {
    SceneObjects[id].position = position;
}
void SetRotY(int id, float degrees) {
    SceneObjects[id].rotY = degrees;
}
void SetScale(int id, float factor) {
    SceneObjects[id].scale = factor;
}
bool IsCollidable(int id) {
    return SceneObjects[id].collidable;
}
void SetCollidable(int id, bool collidable) {
    SceneObjects[id].collidable = collidable;
}
void SetWritesDepth(int id, bool writesDepth) {
    SceneObjects[id].writesDepth = writesDepth;
}
int GetState(int id) {
    return SceneObjects[id].state;
}
void SetState(int id, int state) {
    SceneObjects[id].state = state;
}
int GetHealth(int id) {
    return SceneObjects[id].health;
}
void SetHealth(int id, int health) {
    SceneObjects[id].health = health;
}

float GroundRadius(int id) {
    const tSceneObject& object = SceneObjects[id];
    // Each part is truncated to whole units before squaring. The float products are truncated in
    // double so that a huge scale from a level file cannot overflow an int conversion.
    const double ix = std::trunc(static_cast<double>(object.halfExtents.x * object.scale));
    const double iz = std::trunc(static_cast<double>(object.halfExtents.z * object.scale));
    return static_cast<float>(std::sqrt(ix * ix + iz * iz));
}

void ResetObjectRanges() {
    FirstId = 0;
    EnemyCount = LetterCount = SolidCount = TransparentCount = 0;
    EnemyEnd = SolidEnd = TransparentEnd = 0;
}
