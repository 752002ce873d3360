// How many times each window pixel is drawn, by stage of the frame, for --stats: the GL counts
// the samples that pass the depth test while each stage draws (occlusion queries), and the counts
// are read after the frame's time is taken. Off unless switched on, and off wherever the GL
// cannot count: every call below then returns at once.
#pragma once

// The frame's stages in the order they are drawn.
enum tDrawStage {
    kStageGround,     // the terrain
    kStageModels,     // enemies, the letter, solid scenery
    kStageSky,        // the sky box and both cloud layers, where the world leaves them room
    kStageSeeThrough, // transparent scenery
    kStageBlood,      // blood particles
    kStageOverlay,    // the stretch below full size, hit flash, crosshair, text
    kDrawStages
};

// ---- whole run ----
// Switches the counting on (--stats); with a current GL context. False where the GL cannot count.
bool EnableOverdraw();
bool OverdrawEnabled();

// ---- each frame ----
// From here on the samples drawn count for `stage` (the one before is closed).
void OverdrawStage(tDrawStage stage);
// Closes the last stage, before the swap.
void OverdrawFrameDrawn();
// After the frame's time is taken: reads the frame's counts (by then drawn) and keeps them, per
// window pixel of a width x height window.
void CollectOverdraw(int width, int height);

// ---- results ----
// The median over the frames kept of the pixels drawn per window pixel: in all (stage
// kDrawStages) or by one stage. 0 with nothing counted.
float OverdrawMedian(int stage);
// Short names for the stats line: "ground", "models", ...
const char* DrawStageName(int stage);
