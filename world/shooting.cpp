#include "world/shooting.h"

#include "state/game_state.h"
#include "basics/geometry.h"
#include "sound/sound_effect.h"
#include "terrain/blood.h"
#include "objects/scene_objects.h"
#include "world/world_rules.h"

#include <algorithm>

bool HitTestObject(int id, tCamera camera, tVec3& hit) {
    const tVec3 m = GetPosition(id);
    const tVec3 campos = camera.Position();
    const tVec3 campivot = camera.View();
    const tVec3 ray = Normalized(campivot - campos) * kShotLength;
    const tVec3 vRayLine[2] = {campos, campos + ray};

    // Half sizes of the first key frame in world units; heading and animation are ignored.
    const tSceneObject& object = SceneObjects[id];
    const float sx = object.halfExtents.x * object.scale;
    const float sy = object.halfExtents.y * object.scale;
    const float sz = object.halfExtents.z * object.scale;
    // Two triangles each for the rectangle in the plane x = m.x and the one in z = m.z.
    const tVec3 vPol1[3] = {
        {m.x, m.y + sy, m.z + sz}, {m.x, m.y + sy, m.z - sz}, {m.x, m.y - sy, m.z - sz}};
    const tVec3 vPol2[3] = {
        {m.x, m.y + sy, m.z + sz}, {m.x, m.y - sy, m.z - sz}, {m.x, m.y - sy, m.z + sz}};
    const tVec3 vPol3[3] = {
        {m.x - sx, m.y + sy, m.z}, {m.x - sx, m.y - sy, m.z}, {m.x + sx, m.y - sy, m.z}};
    const tVec3 vPol4[3] = {
        {m.x - sx, m.y + sy, m.z}, {m.x + sx, m.y - sy, m.z}, {m.x + sx, m.y + sy, m.z}};
    // The first triangle crossed in this order gives the point, not the one nearest the eye.
    for (const tVec3* triangle : {vPol1, vPol2, vPol3, vPol4}) {
        if (SegmentHitsPolygon(triangle, vRayLine, 3)) {
            hit = SegmentPlaneHit(triangle, vRayLine);
            return true;
        }
    }
    hit = {0.0f, 0.0f, 0.0f};
    return false;
}

void FireShot() {
    bool found = false;
    float nearest = kNoTargetDistance;
    const int enemyEnd = TableBound(EnemyEnd);
    // Only enemies stop a shot; a dead one lets it through to the one behind.
    for (int id = static_cast<int>(FirstId); id < enemyEnd; ++id) {
        tVec3 hmp;
        if (HitTestObject(id, Camera, hmp) && GetState(id) != kStateDead) {
            found = true;
            // From the eye to the enemy's position, not to the hit point; ties keep the lower id.
            const float d = Length(GetPosition(id) - Camera.Position());
            if (d < nearest) {
                nearest = d;
                ShotTarget = id;
                HitPoint = hmp;
            }
        }
    }
    if (found) {
        const int h = GetHealth(ShotTarget) - DamageAtDistance(kShotDamage, nearest);
        SetHealth(ShotTarget, h);
        if (h > 0) {
            EmitBlood(kHitBloodRespawnFrames, kHitBloodDurationFrames, kHitBloodSlowdown, false,
                      kHitBloodCycleDelay, kHitBloodColour, HitPoint);
            SetAnimation(ShotTarget, kAnimHit);
        } else {
            // The next world update starts the death animation.
            SetHealth(ShotTarget, 0);
        }
        BloodActive = true;
    }
    // Every press sounds, hit or miss.
    PlaySample();
}
