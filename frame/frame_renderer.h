// Drawing one frame.
#pragma once

#include "objects/scene_objects.h"

#include <cstddef>
#include <cstdint>

constexpr float kViewDistance = 3200.0f; // scenery at or beyond this 3D distance is not drawn
constexpr float kLetterSpinStep = 2.5f;  // degrees per frame
constexpr int kRedTintAlphaPercent = 35; // opacity of the red overlay after enemy fire

struct SortEntry {
    int32_t id;     // object id
    float distance; // from the camera, world units
};

// ---- whole run: indexed by object id; only [SolidEnd, TransparentEnd) is filled and read ----
extern SortEntry TransparentOrder[kMaxSceneObjects];
// ---- per frame: the real clock (RealTimeMs) when the frame was wholly drawn, before its swap ----
extern double FrameDrawnMs;

// The whole frame in its fixed order (the opaque world, the sky where it shows, see-through
// scenery, blood, the overlay), then present it and show the frame rate in the title.
void RenderFrame();
// The crosshair in the middle of the view: mask pass, then the cursor added; unlit, unfogged.
void DrawCrosshair();
// Fills TransparentOrder over the transparent scenery with the distances from eye and sorts it
// far to near; equal distances keep id order.
void SortTransparentScenery(tVec3 eye);
// "Letters : " with the collected letters of the word, then one "_" per letter still out.
void FormatLettersLine(char* out, size_t size);
