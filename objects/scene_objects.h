// The scene object table: every enemy, letter and piece of scenery is one slot, addressed by its
// level id. The table is fixed for the whole run; a slot no level entry names stays all zero.
#pragma once

#include "basics/vec3.h"
#include "objects/model_records.h"

#include <cstdint>

constexpr int kMaxSceneObjects = 1000;
// Hit points of a freshly loaded object.
constexpr int kFullHitPoints = 100;

// Enemy states.
constexpr int kStateIdle = 0;
constexpr int kStateAwake = 1;
constexpr int kStateDead = 16;

// Animation indices of an enemy's model.
constexpr int kAnimIdle = 0;
constexpr int kAnimRun = 1;
constexpr int kAnimAttack = 2;
constexpr int kAnimHit = 3;
constexpr int kAnimDeath = 16;

// Every field starts at zero, so a record made anywhere (the table, a reset, a test) is empty.
struct tSceneObject {
    tModel model;                        // main model
    tModel subModel;                     // carried model, or (masked scenery) only its skin
    tVec3 position{0.0f, 0.0f, 0.0f};    // world position of the model's origin
    float rotY = 0.0f;                   // heading, degrees
    float scale = 0.0f;                  // uniform scale; 0 becomes 1 when first drawn
    tVec3 halfExtents{0.0f, 0.0f, 0.0f}; // half the first key frame's bounding box, model units
    bool hasSubModel = false;
    bool hasMaskMap = false;
    bool collidable = false;  // blocks the player and walking enemies
    bool writesDepth = false; // depth writes while drawn as a masked model
    int32_t state = 0;        // enemy state
    int32_t health = 0;       // hit points, 0 ... kFullHitPoints
};

// ---- whole run: the table ----
extern tSceneObject SceneObjects[kMaxSceneObjects];

// ---- per level: id ranges from the level header ----
extern uint32_t FirstId;
extern uint32_t EnemyCount;
extern uint32_t LetterCount;
extern uint32_t SolidCount; // letters and solid scenery together
extern uint32_t TransparentCount;
extern uint32_t EnemyEnd;       // enemies: [FirstId, EnemyEnd)
extern uint32_t SolidEnd;       // letters, then solid scenery: [EnemyEnd, SolidEnd)
extern uint32_t TransparentEnd; // transparent scenery: [SolidEnd, TransparentEnd)

// Accessors by id (0 ... 999; none checks the id).
int GetAnimation(int id);
// Starts animation index (restarting it if current) when it exists; always copies the main
// model's animation and key frame into the sub-model.
void SetAnimation(int id, int index);
// Ignored for an index the model does not have.
void SetAnimationLoops(int id, int index, bool loops);
tVec3 GetPosition(int id);
void SetPosition(int id, tVec3 position);
void SetRotY(int id, float degrees);
void SetScale(int id, float factor);
bool IsCollidable(int id);
void SetCollidable(int id, bool collidable);
void SetWritesDepth(int id, bool writesDepth);
int GetState(int id);
void SetState(int id, int state);
int GetHealth(int id);
void SetHealth(int id, int health);
// Horizontal collision radius: from the truncated scaled half extents in x and z.
float GroundRadius(int id);
// An id bound from the level header (EnemyEnd, SolidEnd, ...), held inside the table: loops up
// to it never leave the slots, whatever the header said.
inline int TableBound(uint32_t bound) {
    return bound < static_cast<uint32_t>(kMaxSceneObjects) ? static_cast<int>(bound)
                                                           : kMaxSceneObjects;
}
// Every count and range back to 0: no level read, an empty world.
void ResetObjectRanges();
