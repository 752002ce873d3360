// Small worlds for the rules and shooting tests: enemies and letters set straight into the
// scene object table, the camera placed by hand, flat ground.
#pragma once

#include "state/game_state.h"
#include "camera/camera.h"
#include "basics/frame_timer.h"
#include "basics/game_random.h"
#include "models/md2_loader.h"
#include "platform/platform_test.h"
#include "terrain/height_map.h"
#include "world/load_world.h"
#include "world/movement.h"
#include "objects/scene_objects.h"
#include "world/world_rules.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

// Every animation index an enemy uses (0 ... 16) exists, two key frames each.
inline void GiveEnemyModel(int id) {
    tModel& model = SceneObjects[id].model;
    model.animations.assign(kAnimDeath + 1, tAnimationInfo{});
    for (int i = 0; i <= kAnimDeath; ++i) {
        model.animations[static_cast<size_t>(i)].firstFrame = 2 * i;
        model.animations[static_cast<size_t>(i)].endFrame = 2 * i + 2;
    }
    model.numAnimations = kAnimDeath + 1;
}

// An enemy with a ground radius of 5 (half extents 3, 10, 4 at scale 1), collidable, at full
// health, asleep and standing.
inline void PlaceEnemy(int id, tVec3 position) {
    tSceneObject& object = SceneObjects[id];
    GiveEnemyModel(id);
    object.position = position;
    object.halfExtents = {3.0f, 10.0f, 4.0f};
    object.scale = 1.0f;
    object.collidable = true;
    object.state = kStateIdle;
    object.health = 100;
}

// Enemies [0, enemies), then letters [enemies, enemies + letters).
inline void SetIdRanges(uint32_t enemies, uint32_t letters) {
    FirstId = 0;
    EnemyCount = enemies;
    LetterCount = letters;
    EnemyEnd = enemies;
    SolidCount = letters;
    SolidEnd = enemies + letters;
    TransparentEnd = SolidEnd;
}

// Fresh state: flat ground, no objects, camera at (0, 50, 0) looking along +z, no cursor travel
// (the window's centre is the test backend's (0, 0) origin plus half of 800 x 600).
inline void ResetSmallWorld() {
    ResetTestPlatform();
    ResetWindowState();
    ResetLevelState(); // the mission's values too
    std::memset(HeightMap, 0, sizeof(HeightMap));
    WindowWidth = 800;
    WindowHeight = 600;
    TestPlatformState().cursorX = 400;
    TestPlatformState().cursorY = 300;
    Camera.Place(0.0f, 50.0f, 0.0f, 0.0f, 50.0f, 1.0f, 0.0f, 1.0f, 0.0f);
}

// Seeds the game's generator so that its next draws decide "fire" (true) or not, in this
// order, by the enemies' one-in-100 rule.
inline void SeedFireDraws(std::initializer_list<bool> fires) {
    for (unsigned seed = 1;; ++seed) {
        SeedGameRandom(seed);
        bool match = true;
        for (bool fire : fires) {
            if ((GameRandom() % kFireOdds < 1) != fire) {
                match = false;
                break;
            }
        }
        if (match) {
            SeedGameRandom(seed);
            return;
        }
    }
}
