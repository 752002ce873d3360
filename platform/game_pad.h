// A game pad in the game's terms, for the backends that read one (SDL's game controller on the
// desktop, the browser's Gamepad API): the left stick walks and steps, the right stick looks, the
// right trigger shoots once per pull. Each backend reads its own pad and gives these functions a
// stick axis as -1 ... 1 (y grows downward) and a trigger as 0 ... 1.
#pragma once

#include "platform/platform.h"

// A stick axis within this travel of the middle reads as at rest (8000 of SDL's 32767).
constexpr float kPadStickDeadZone = 8000.0f / 32767.0f;
// The right trigger shoots when pulled past half way, and is ready again once let go below a
// quarter, so a trigger held near half way gives no burst of shots.
constexpr float kPadTriggerPull = 0.5f;
constexpr float kPadTriggerRelease = 0.25f;

// The axis, or 0 inside the dead zone.
float PadStickAxis(float axis);
// Whether the left stick at (x, y) points the movement key's way: up walks forward, down
// backward, sideways steps (W and Up answer alike, and so on).
bool PadStickKeyDown(float x, float y, tKey key);
// One shot per pull: true when the trigger's travel passes kPadTriggerPull while *pulled is
// clear, which sets it; it clears below kPadTriggerRelease.
bool PadTriggerShot(float travel, bool* pulled);
