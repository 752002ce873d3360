// The render scale: the share of the window's width and height the world is drawn at before it
// is stretched to the window. A player sets it, or the controller below holds it: it watches how
// long each frame takes to draw and steps the scale down when frames run long and back up when
// there is room, so that a machine drawing with its CPU still keeps 60 frames a second. The times
// leave out the wait for the display, so a frame held to a 50 or 60 Hz refresh counts as what
// its drawing took. Plain arithmetic on the times it is given: it reads no clock itself.
#pragma once

#include "state/options.h" // kMinRenderScale, kMaxRenderScale

// The controller's scales are whole levels: scale = level / kScaleLevels, from kMinScaleLevel
// (0.25) up to kScaleLevels (full size).
constexpr int kScaleLevels = 20;
constexpr int kMinScaleLevel = 5;
// The frame time to hold, milliseconds: 60 frames a second.
constexpr float kTargetFrameMs = 1000.0f / 60.0f;
// Frames measured for each decision; their median decides, so a few slow frames (a hitch, the
// first frame's shader compiling) move nothing.
constexpr int kScaleWindowFrames = 30;
// A median above this share of the target steps down.
constexpr float kStepDownAbove = 1.05f;
// A step down aims at this share of the target, leaving room for the time to wander.
constexpr float kStepDownAim = 0.9f;
// A step up is taken only when the time predicted for the next level stays below this share of
// the target: the gap between the two shares is what keeps the scale from hunting.
constexpr float kStepUpBelow = 0.85f;
// After a step down, this many decisions pass before any step up.
constexpr int kHoldAfterDown = 4;

struct tScaleController {
    int level = kScaleLevels;
    float frameMs[kScaleWindowFrames] = {};
    int frames = 0;  // measured so far in this window
    int holdUp = 0;  // decisions left before a step up is allowed
    int changes = 0; // steps taken since the reset, either way
};

// Full size, nothing measured.
void ResetScaleController(tScaleController* controller);
// One frame's time in milliseconds; every kScaleWindowFrames frames a decision. Returns true
// when the level changed. The drawn pixels are taken to cost in proportion to the scale squared,
// the rest of a frame nothing, which over-estimates the cost of going up: a safe error.
bool ScaleControllerFrame(tScaleController* controller, float frameMs);
// The controller's current scale.
float ControllerScale(const tScaleController& controller);
