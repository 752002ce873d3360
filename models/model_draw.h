// Key-frame animation and drawing of scene objects.
#pragma once

#include "objects/model_records.h"
#include "objects/scene_objects.h"

#include <cstdint>

// Milliseconds one key frame is shown: 8 key frames per second.
constexpr uint32_t kFrameMillis = 125;

// ---- whole run: restarted at world loading ----
// Tick count of each object's latest key-frame advance; the main model and the sub-model of an
// object share their entry.
extern uint32_t LastAdvanceTime[kMaxSceneObjects];

// What one drawing of an animated object shows: the pair of key frames it blends between (taken
// before any advance) and how far along it is.
struct tAnimationStep {
    int32_t from;    // main model: key frame shown
    int32_t to;      // main model: key frame blended toward
    int32_t subFrom; // sub-model's own pair; -1 when the sub-model is not drawn
    int32_t subTo;
    float blend; // 0 ... 1 from the from frame toward the to frame
    bool moving; // the main model's next key frame differs from its current one
};

// Starts every object's animation clock at the current tick count, so the first drawing after
// loading neither jumps a key frame nor blends past it. World loading calls it after the level.
void ResetModelAnimationClock();
// The key frame after current in anim: firstFrame again at the end of a looping animation,
// current itself at the end of a one-shot one.
int32_t NextKeyFrame(const tAnimationInfo& anim, int32_t current);
// The key-frame rule of object id at tick count now: fills step and advances both models when
// kFrameMillis have passed. False, touching nothing, when the main model cannot be animated (no
// usable animation or key frame).
bool StepAnimation(int id, uint32_t now, tAnimationStep* step);
// Draws object id at its position, heading and scale, advancing its animation; true while the
// main model's animation is still moving.
bool DrawModel(int id);
