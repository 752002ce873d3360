// Walking on the ground: the eight movement keys, ground following with head bob, and the
// collision test that takes a step back whole. The camera's per-frame update lives here too, as
// it is the one that reads the keys.
#pragma once

#include "camera/camera.h"

constexpr float kWalkSpeed = 100.0f;     // world units per second
constexpr float kEyeAboveGround = 50.0f; // eye height over the ground under it
constexpr float kBobAmplitude = 4.0f;    // world units of head bob
constexpr float kBobPhaseDivisor = 1000.0f;
constexpr float kBobPhaseWrap = 360.0f;
// The playing field: allowed eye x and z, bounds included.
constexpr float kFieldMinX = -2800.0f;
constexpr float kFieldMaxX = 600.0f;
constexpr float kFieldMinZ = -400.0f;
constexpr float kFieldMaxZ = 1700.0f;

// ---- per level: reset at world loading ----
extern float BobPhase; // head-bob phase, advanced by every step

// Mouse look about the middle of the view (WindowCentre).
void LookWithMouse(tCamera& camera);
// Side vector, mouse look about the middle of the view, movement keys, then the frame timer.
void UpdateCamera(tCamera& camera);
// The movement keys held this frame, each row taking its own whole step.
void PollMovementKeys(tCamera& camera);
// A step along the view direction (negative: backwards) or the side vector (negative: left);
// a step that ends blocked is taken back whole.
void Walk(tCamera& camera, float step);
void Sidestep(tCamera& camera, float step);
