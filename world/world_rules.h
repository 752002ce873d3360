// The world's rules, run once per frame: enemies, letters and the end of the mission.
#pragma once

#include "basics/vec3.h"

constexpr float kWakeRadius = 640.0f;    // an enemy wakes, and may fire, closer than this
constexpr int kFireOdds = 100;           // an able enemy fires when a draw % 100 < 1
constexpr float kEnemyDamage = 1000.0f;  // enemy fire costs round(1000 / distance) health
constexpr float kRedTintSeconds = 1.5f;  // red tint after enemy fire, in seconds of frames
constexpr float kCloseRange = 100.0f;    // an awake enemy this close stops walking
constexpr float kEnemyStepFactor = 0.5f; // share of the offset to the player walked per second
constexpr float kEnemyHover = 25.0f;     // a walking enemy's origin above the ground
// An enemy model's own forward lies a quarter turn from heading 0: turned toward the player, its
// heading is the direction to the player less this.
constexpr float kEnemyFacingOffset = 90.0f;
constexpr float kPickupRadius = 50.0f; // 3D distance at which a letter is collected
constexpr unsigned kLettersToWin = 5;  // the length of LetterWord

// ---- whole run ----
extern tVec3 LastCameraPosition; // camera position at the end of the previous update

// A hit's cost at a distance, enemy fire and the player's shots alike: round(full / distance),
// capped at full (the cost at one unit), so that a distance of 0 cannot divide by zero; any
// cost above 100 empties a health bar anyway.
int DamageAtDistance(float full, float distance);

// The id of the next letter to collect, or -1 once there is none.
int NextLetterId();

// Camera and movement, the enemy passes and the letter pickup.
void UpdateWorld();
// The victory and defeat boxes, then the quit request.
void CheckMissionEnd();
// Forgets the previous update's clock reading and camera position (tests, a new level).
void ResetWorldRules();
