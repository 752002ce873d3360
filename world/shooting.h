// The player's shots.
#pragma once

#include "camera/camera.h"
#include "basics/vec3.h"

constexpr float kShotLength = 640.0f;  // the unit view direction x 10 x 64
constexpr float kShotDamage = 2000.0f; // a shot costs round(2000 / distance) health
// The blood burst of a wounding hit: new drops for 10 frames, each living 20 frames, slowed by
// 0.15 a frame, all in blood colour 1 (colours do not cycle, so the cycle's delay of 50 frames
// goes unused).
constexpr unsigned kHitBloodRespawnFrames = 10;
constexpr unsigned kHitBloodDurationFrames = 20;
constexpr float kHitBloodSlowdown = 0.15f;
constexpr unsigned kHitBloodCycleDelay = 50;
constexpr unsigned kHitBloodColour = 1;
// Starting value of the nearest distance when a shot looks for its target.
constexpr float kNoTargetDistance = 2147483648.0f;

// One press of the left button: the nearest living enemy on the line of sight is hit.
void FireShot();
// Whether the shot from the camera's eye along its view crosses one of the object's two
// upright rectangles (on the world axes through its position); hit is then the crossing point,
// otherwise (0, 0, 0).
bool HitTestObject(int id, tCamera camera, tVec3& hit);
