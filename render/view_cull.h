// Skipping geometry the view cannot show. The test runs in clip space with the matrices the GL
// itself holds, so a skipped piece is one the rasteriser would have clipped away whole: the
// picture stays the same to the last pixel, only the work goes.
#pragma once

#include "basics/vec3.h"

// Clip-plane bits of ClipOutcode: left, right, bottom, top, near, far.
constexpr unsigned kClipLeft = 1u, kClipRight = 2u, kClipBottom = 4u, kClipTop = 8u;
constexpr unsigned kClipNear = 16u, kClipFar = 32u;

// ---- whole run ----
// On in the game; off, nothing is skipped: the tests draw both ways to show the same pixels.
extern bool ViewCulling;

// ---- per drawing step: the matrix LoadViewClip read ----
// Projection times model-view as the GL holds them now: call it after the model-view changes.
void LoadViewClip();
// The clip planes a point of the current model space lies clearly beyond (a small margin keeps
// points on a plane inside); 0 for a point in view or near it.
unsigned ClipOutcode(float x, float y, float z);
// True when the whole box [low, high] of the current model space lies beyond one clip plane, so
// nothing drawn inside it can reach a pixel.
bool BoxOutsideView(tVec3 low, tVec3 high);
