// How many times each window pixel is drawn, by stage of the frame, for --stats: the GL counts
// the samples that pass the depth test while each stage draws (occlusion queries). Counting
// slows the software renderer's frame, so only one frame in kOverdrawEvery is counted, and its
// time is left out of the frame-time figures; the counts are read after the frame's time is
// taken. Off unless switched on, and off wherever the GL cannot count: every call below then
// returns at once.
#pragma once

// The frame's stages in the order they are drawn.
enum tDrawStage {
    kStageGround,     // the terrain
    kStageModels,     // enemies, the letter, solid scenery
    kStageSkyMark,    // the clouds' depth-tested mark before the sky: no colour written
    kStageSky,        // the sky box and both cloud layers, where the world leaves them room
    kStageSeeThrough, // transparent scenery
    kStageBlood,      // blood particles
    kStageOverlay,    // the stretch below full size, hit flash, crosshair, text
    kDrawStages
};

constexpr int kOverdrawEvery = 10;

// ---- whole run ----
// Switches the counting on (--stats); with a current GL context. False where the GL cannot count.
bool EnableOverdraw();
bool OverdrawEnabled();

// ---- each frame ----
// Whether this frame is one that is counted (the first, then every kOverdrawEvery-th).
bool OverdrawCounting();
// From here on the samples drawn count for `stage` (the one before is closed).
void OverdrawStage(tDrawStage stage);
// Closes the last stage, before the swap.
void OverdrawFrameDrawn();
// After the frame's time is taken: reads a counted frame's counts (by then drawn) and keeps
// them, per window pixel of a width x height window; then chooses whether the next is counted.
void CollectOverdraw(int width, int height);

// ---- results ----
// The median over the frames kept of the pixels drawn per window pixel: in all (stage
// kDrawStages: every stage that writes colour, so not kStageSkyMark) or by one stage. 0 with
// nothing counted.
float OverdrawMedian(int stage);
// Short names for the stats line: "ground", "models", ...
const char* DrawStageName(int stage);
