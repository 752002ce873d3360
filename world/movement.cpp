#include "world/movement.h"

#include "state/game_state.h"
#include "basics/frame_timer.h"
#include "platform/platform.h"
#include "terrain/height_map.h"
#include "objects/scene_objects.h"

#include <cmath>

float BobPhase = 0.0f;

namespace {

// Eye to the ground under it plus the bob; the look-at point moves by the same height, so the
// pitch does not change. The bob is recomputed from the ground each step and never accumulates.
void FollowGround(tCamera& camera, float step) {
    const float ground = TerrainHeight(HeightMap, camera.vPosition.x, camera.vPosition.z);
    const float eye = ground + kEyeAboveGround;
    camera.vView.y = eye - camera.vPosition.y + camera.vView.y;
    camera.vPosition.y = eye;
    // A backward step runs the phase backwards; fmod keeps the dividend's sign.
    BobPhase = FmodF(step / kBobPhaseDivisor + BobPhase, kBobPhaseWrap);
    const double bob =
        std::sin(static_cast<double>(BobPhase) * 57.29577951) * static_cast<double>(kBobAmplitude);
    camera.vPosition.y = static_cast<float>(camera.vPosition.y + bob);
    camera.vView.y = static_cast<float>(camera.vView.y + bob);
}

// True when the eye stands inside any collidable object's ground circle or off the field.
// Every slot is scanned, whatever the level's id ranges.
bool Blocked(const tCamera& camera) {
    bool blocked = false;
    for (int id = 0; id < kMaxSceneObjects; ++id) {
        if (!IsCollidable(id)) {
            continue;
        }
        if (GroundRadius(id) > HorizontalDistance(camera.vPosition, GetPosition(id))) {
            blocked = true;
        }
    }
    const tVec3 p = camera.vPosition;
    if (p.x < kFieldMinX || p.x > kFieldMaxX || p.z < kFieldMinZ || p.z > kFieldMaxZ) {
        blocked = true;
    }
    return blocked;
}

void MoveOnGround(tCamera& camera, tVec3 direction, float step) {
    camera.vPosition.x += direction.x * step;
    camera.vPosition.z += direction.z * step;
    camera.vView.x += direction.x * step;
    camera.vView.z += direction.z * step;
}

} // namespace

void LookWithMouse(tCamera& camera) {
    int centreX = 0, centreY = 0;
    WindowCentre(&centreX, &centreY);
    camera.MouseLook(centreX, centreY);
}

void UpdateCamera(tCamera& camera) {
    camera.vSide = Normalized(CrossProduct(camera.vView - camera.vPosition, camera.vUpVector));
    LookWithMouse(camera);
    PollMovementKeys(camera);
    // Stepped last: this frame's movement used the interval measured at the end of the last one.
    TickFrameTimer();
}

void PollMovementKeys(tCamera& camera) {
    const float s = FrameInterval * kWalkSpeed;
    // Either key of a row moves once; each held row takes its own whole step, in this order.
    if (IsKeyDown(kKeyUp) || IsKeyDown(kKeyW)) {
        Walk(camera, s);
    }
    if (IsKeyDown(kKeyDown) || IsKeyDown(kKeyS)) {
        Walk(camera, -s);
    }
    if (IsKeyDown(kKeyLeft) || IsKeyDown(kKeyA)) {
        Sidestep(camera, -s);
    }
    if (IsKeyDown(kKeyRight) || IsKeyDown(kKeyD)) {
        Sidestep(camera, s);
    }
}

void Walk(tCamera& camera, float step) {
    // The full 3D view direction: a raised or lowered view walks a shorter ground step.
    MoveOnGround(camera, Normalized(camera.vView - camera.vPosition), step);
    FollowGround(camera, step);
    if (Blocked(camera)) {
        // The reverse direction, taken afresh from the moved camera, by the same length.
        MoveOnGround(camera, Normalized(camera.vPosition - camera.vView), step);
        FollowGround(camera, step);
    }
}

void Sidestep(tCamera& camera, float step) {
    MoveOnGround(camera, camera.vSide, step);
    FollowGround(camera, step);
    if (Blocked(camera)) {
        MoveOnGround(camera, camera.vSide, -step);
        FollowGround(camera, step);
    }
}
