// The blood burst: a fixed table of particles started by a wounding shot.
#pragma once

#include "camera/vec3.h"

constexpr int kBloodParticles = 200;

// Starts a burst at origin.
void EmitBlood(unsigned respawnFrames, unsigned durationFrames, float slowdown, bool cycleColours,
               unsigned cycleDelay, unsigned colourIndex, tVec3 origin);
// Draws and advances the burst, facing the camera; true while it goes on.
bool DrawBlood(bool loop, float pitch, float heading);
