// The first-person camera: placement, mouse look and its GL view. Walking on the ground (the
// movement keys, head bob, collision) is the world's: world/movement.h.
#pragma once

#include "basics/vec3.h"

// Cursor pixels per radian of turn, for yaw and pitch alike.
constexpr float kMouseDivisor = 1000.0f;
// Largest absolute sum of pitch steps, radians.
constexpr float kPitchLimit = 1.0f;
// Below this absolute z difference a heading is taken as a quarter turn, not an arc tangent.
constexpr float kNearZeroDepth = 0.001f;
constexpr float kHalfPi = 1.5707963705f;

// Four consecutive vectors, copied whole where a snapshot is needed (the hit test).
struct tCamera {
    tVec3 vPosition; // eye, world units
    tVec3 vView;     // look-at point (a point, not a direction)
    tVec3 vUpVector;
    tVec3 vSide; // unit side vector, refreshed at the start of every frame's update

    void Place(float px, float py, float pz, float vx, float vy, float vz, float ux, float uy,
               float uz);
    tVec3 Position() const { return vPosition; }
    tVec3 View() const { return vView; }
    float YawDegrees() const;
    float PitchDegrees() const;
    // Turns by the cursor's travel from (centreX, centreY), the middle of the view in screen
    // pixels, and puts the cursor back there.
    void MouseLook(int centreX, int centreY);
    // Turns the view point about a unit axis through the eye, by angle radians.
    void TurnView(float angle, float x, float y, float z);
    // Multiplies the look-at transform onto the model-view matrix.
    void ApplyView() const;
};

static_assert(sizeof(tCamera) == 4 * sizeof(tVec3));

// ---- whole run ----
extern tCamera Camera;
extern float PitchTotal;       // sum of pitch steps, radians, within +-kPitchLimit
extern float PitchTotalBefore; // PitchTotal before the latest mouse step
// The player's preferences: turn per pixel as a multiple of 1 / kMouseDivisor radians (1.0
// keeps the game's own), and whether moving the mouse up looks down.
extern float MouseSensitivity;
extern bool InvertMouse;

// Heading in degrees of the offset (dx, dz) on the ground, -270 ... +270 (meant modulo 360):
// the camera's yaw read-out and the enemies' turn toward the player share this rule.
float HeadingDegrees(float dx, float dz);
