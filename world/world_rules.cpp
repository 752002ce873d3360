#include "world/world_rules.h"

#include "state/game_state.h"
#include "camera/camera.h"
#include "basics/frame_timer.h"
#include "basics/game_random.h"
#include "platform/platform.h"
#include "terrain/height_map.h"
#include "world/movement.h"
#include "objects/scene_objects.h"

#include <algorithm>
#include <cmath>

tVec3 LastCameraPosition = {0.0f, 0.0f, 0.0f};

namespace {

// The previous update's clock reading, seconds. The first update starts it at its own reading,
// so the first interval is 0 rather than the whole time since the clock's zero.
float PreviousTime = 0.0f;
bool ClockStarted = false;

// The animation an awake enemy takes when it does not walk on: firing, or standing once the
// player stands still.
void StandOrFire(int id, bool fire, tVec3 camPos, bool idleUnlessAttacking) {
    const int anim = GetAnimation(id);
    if (fire && anim != kAnimAttack) {
        SetAnimation(id, kAnimAttack);
    } else if (!fire && anim != kAnimIdle && (!idleUnlessAttacking || anim != kAnimAttack) &&
               camPos == LastCameraPosition) {
        SetAnimation(id, kAnimIdle);
    }
}

void UpdateAwakeEnemy(int id, tVec3 camPos) {
    tVec3 pos = GetPosition(id);
    const float d = HorizontalDistance(camPos, pos);

    bool fire = false;
    if (GetAnimation(id) != kAnimAttack && d < kWakeRadius) {
        fire = GameRandom() % kFireOdds < 1;
    }
    if (fire) {
        // Enemy fire always hits: no aim and no line of sight beyond the wake radius.
        RedTintFrames = static_cast<int32_t>(FramesPerSecond() * kRedTintSeconds);
        PlayerHealth = std::max(PlayerHealth - DamageAtDistance(kEnemyDamage, d), 0);
    }

    SetRotY(id, HeadingDegrees(camPos.x - pos.x, camPos.z - pos.z) - kEnemyFacingOffset);

    if (d < kCloseRange) {
        // The first pass wakes it again next frame: it stays put but keeps turning and firing.
        SetState(id, kStateIdle);
        StandOrFire(id, fire, camPos, true);
        return;
    }
    const int anim = GetAnimation(id);
    if (anim == kAnimHit || anim == kAnimAttack) {
        return;
    }

    // The step is the whole horizontal offset times interval x 0.5: fast far away, slow close.
    const tVec3 oldPos = pos;
    const float step = WorldFrameInterval * kEnemyStepFactor;
    const tVec3 dir(camPos.x - pos.x, 0.0f, camPos.z - pos.z);
    pos = pos + dir * step;
    pos.y = TerrainHeight(HeightMap, pos.x, pos.z) + kEnemyHover;
    SetPosition(id, pos);

    // The radius is taken in whole units. A level may scale a model so far that it passes any
    // int: such an enemy is held at the largest one (and so blocked by anything), not converted
    // out of range.
    const float radius = GroundRadius(id);
    constexpr float kLargestRadius = 2147483520.0f; // the largest float below 2^31
    const int r = radius < kLargestRadius ? static_cast<int>(radius) : 2147483520;
    bool blocked = false;
    for (int j = 0; j < kMaxSceneObjects; ++j) {
        if (j != id && IsCollidable(j) &&
            GroundRadius(j) + static_cast<float>(r) > HorizontalDistance(GetPosition(j), pos)) {
            blocked = true;
        }
    }
    if (blocked) {
        SetPosition(id, oldPos);
        StandOrFire(id, fire, camPos, false);
    } else if (fire && GetAnimation(id) != kAnimAttack) {
        SetAnimation(id, kAnimAttack);
    } else if (!fire && GetAnimation(id) != kAnimRun) {
        SetAnimation(id, kAnimRun);
    }
}

} // namespace

int DamageAtDistance(float full, float distance) {
    if (!(distance > 0.0f)) {
        return static_cast<int>(full);
    }
    const double cost = static_cast<double>(full / distance) + 0.5;
    return static_cast<int>(std::min(cost, static_cast<double>(full)));
}

int NextLetterId() {
    // Pickups stop once the level's letters (at most the word's five) are all collected, so the
    // id never leaves the letter range.
    const uint32_t letters = std::min<uint32_t>(LetterCount, kLettersToWin);
    const uint32_t next = EnemyEnd + LettersCollected;
    if (LettersCollected >= letters || next >= static_cast<uint32_t>(kMaxSceneObjects)) {
        return -1;
    }
    return static_cast<int>(next);
}

void UpdateWorld() {
    const float now = static_cast<float>(static_cast<double>(TimeMs()) * 0.001);
    if (!ClockStarted) {
        PreviousTime = now;
        ClockStarted = true;
    }
    WorldFrameInterval = BoundedInterval(now - PreviousTime);
    PreviousTime = now;

    UpdateCamera(Camera);
    Camera.ApplyView();
    const tVec3 camPos = Camera.Position();
    const int enemyEnd = TableBound(EnemyEnd);

    // Deaths and waking first, so the second pass sees this frame's states.
    for (int id = static_cast<int>(FirstId); id < enemyEnd; ++id) {
        if (GetHealth(id) <= 0) {
            if (GetAnimation(id) != kAnimDeath) {
                SetAnimation(id, kAnimDeath);
                SetState(id, kStateDead);
                SetCollidable(id, false);
            }
        } else if (HorizontalDistance(camPos, GetPosition(id)) < kWakeRadius) {
            SetState(id, kStateAwake);
        }
    }
    for (int id = static_cast<int>(FirstId); id < enemyEnd; ++id) {
        if (GetState(id) == kStateAwake) {
            UpdateAwakeEnemy(id, camPos);
        }
    }

    // Only the next letter in order is tested.
    const int next = NextLetterId();
    if (next >= 0 && Length(Camera.Position() - GetPosition(next)) < kPickupRadius) {
        LettersCollected += 1;
        PlayerHealth = kFullHealth;
    }

    LastCameraPosition = camPos;
}

void CheckMissionEnd() {
    // Both run every frame, so both boxes can follow each other in one frame, victory first.
    if (LettersCollected == kLettersToWin) {
        ShowMessageBox("Letters collected. Mission successful.", "VICTORY !", kButtonsOk);
        PostQuitRequest(0);
    }
    if (PlayerHealth == 0) {
        ShowMessageBox("Killed by enemies. Mission unsuccessful.", "DEFEAT !", kButtonsOk);
        PostQuitRequest(0);
    }
}

void ResetWorldRules() {
    PreviousTime = 0.0f;
    ClockStarted = false;
    LastCameraPosition = {0.0f, 0.0f, 0.0f};
}
