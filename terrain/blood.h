// The blood burst: a fixed table of particles started by a wounding shot.
#pragma once

#include "basics/vec3.h"

constexpr int kBloodParticles = 200;
constexpr int kBloodColourCount = 13;
// The colour cycle runs over the first twelve entries only.
constexpr unsigned kBloodCycleColours = 12;

struct BloodParticle {
    bool active; // set by EmitBlood, never cleared
    float life;  // opacity; 1 when (re)born, falls by fade per frame
    float fade;  // life lost per frame, 0.003 ... 0.102
    float colour[3];
    tVec3 offset;   // from the burst's origin, world units
    tVec3 velocity; // change of offset per frame before the time scaling
    tVec3 gravity;  // added to velocity every frame
};

struct tBloodEmitter {
    unsigned respawnFrames;  // dead particles are reborn while respawnCounter <= this
    unsigned durationFrames; // the burst ends once durationCounter > this
    float slowdown;          // divides the motion
    bool cycleColours;
    unsigned cycleDelay; // frames between colour steps
    unsigned colourIndex;
    tVec3 origin; // world position of the burst
    unsigned respawnCounter;
    unsigned durationCounter;
    unsigned cycleCounter;
};

// ---- a loaded level: zero at start, so nothing is drawn before the first hit; ResetBlood ----
extern BloodParticle BloodParticles[kBloodParticles];
extern tBloodEmitter BloodEmitter;
extern const float BloodColours[kBloodColourCount][3];

// Starts a burst at origin.
// Every particle and the emitter back to zero (world loading).
void ResetBlood();
void EmitBlood(unsigned respawnFrames, unsigned durationFrames, float slowdown, bool cycleColours,
               unsigned cycleDelay, unsigned colourIndex, tVec3 origin);
// Draws and advances the burst, facing the camera; true while it goes on. Leaves lighting, fog
// and depth testing off, additive blending on and the blood texture bound.
bool DrawBlood(bool loop, float pitch, float heading);
