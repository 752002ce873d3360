// The sky box around the camera and its two drifting cloud layers.
#pragma once

#include "basics/vec3.h"

constexpr int kCloudGridSide = 16; // grid points per side; the sheet uses 1 ... 15

// ---- whole run ----
// The domed cloud sheet in world units, [i][j] with i along x and j along z; rebuilt every frame.
extern tVec3 CloudGrid[kCloudGridSide][kCloudGridSide];
// Texture shift of each cloud layer along s; they only grow, texture repetition takes any value.
// Back to 0 at each level load.
extern float CloudOffset1;
extern float CloudOffset2;

// Box centred at (x, y, z) with the given sizes, then the cloud sheet inside it.
void DrawSkyBox(float x, float y, float z, float width, float height, float length);
// The same sky drawn after the opaque world, filled only where the sky shows. Exact: the pixels
// DrawSkyBox would give had it come first, for which a pass over the clouds marks where one
// hides the world (needs a stencil buffer, cleared to 0 with the frame; leaves the stencil test
// off). Not exact: no marking pass, and a hill top that rises behind a cloud shows through it.
void DrawSkyBehindWorld(float x, float y, float z, float width, float height, float length,
                        bool exact);
