// The first-person camera: placement, mouse look, the per-frame update and its GL view.
#pragma once

#include "camera/vec3.h"

// Cursor pixels per radian of turn, for yaw and pitch alike.
constexpr float kMouseDivisor = 1000.0f;
// Largest absolute sum of pitch steps, radians.
constexpr float kPitchLimit = 1.0f;

// Four consecutive vectors, copied whole where a snapshot is needed (the hit test).
struct tCamera {
    tVec3 vPosition; // eye, world units
    tVec3 vView;     // look-at point (a point, not a direction)
    tVec3 vUpVector;
    tVec3 vSide; // unit side vector, refreshed at the start of every Update

    void Place(float px, float py, float pz, float vx, float vy, float vz, float ux, float uy,
               float uz);
    tVec3 Position() const { return vPosition; }
    tVec3 View() const { return vView; }
    float YawDegrees() const;
    float PitchDegrees() const;
    void MouseLook();
    // Turns the view point about a unit axis through the eye, by angle radians.
    void TurnView(float angle, float x, float y, float z);
    // Side vector, mouse look, movement keys, then the frame timer.
    void Update();
    // Multiplies the look-at transform onto the model-view matrix.
    void ApplyView() const;
    // Movement keys (movement.cpp).
    void PollMovementKeys();
    void Walk(float step);
    void Sidestep(float step);
};

static_assert(sizeof(tCamera) == 4 * sizeof(tVec3));

// ---- whole run ----
extern tCamera Camera;
extern float PitchTotal;       // sum of pitch steps, radians, within +-kPitchLimit
extern float PitchTotalBefore; // PitchTotal before the latest mouse step
