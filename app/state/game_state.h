// The shared game state: the few globals that several parts of the game read and write. They
// live for the whole run; the per-level values are set at world loading.
#pragma once

#include "camera/vec3.h"

#include <cstdint>

// ---- display: settings file, then every resize ----
extern uint32_t WindowWidth;  // client-area width in pixels
extern uint32_t WindowHeight; // client-area height in pixels
extern uint32_t ColorBits;    // colour depth; also the depth-buffer bits asked for
extern bool FullScreen;       // cleared when the player declines full screen

// ---- window-system handles (true while the object exists) ----
extern bool AppInstance;
extern bool MainWindow;
extern bool WindowDC;
extern bool GLContext;

// ---- the mission: reset at world loading ----
extern int32_t PlayerHealth;      // 0 ... 100; enemy fire lowers it, each letter refills it
extern uint32_t LettersCollected; // letters collected so far
extern char LetterWord[6];        // the word the letters spell
extern int32_t RedTintFrames;     // frames left of the red tint after enemy fire
extern bool BloodActive;          // a blood burst is running
extern int32_t ShotTarget;        // enemy hit by the last shot that hit
extern tVec3 HitPoint;            // where that shot struck
extern float WorldFrameInterval;  // seconds between the last two world updates
extern float LetterSpin;          // heading of every letter, degrees

// The middle of the view in screen pixels, where mouse look keeps the cursor: the client
// area's origin plus half the view's size (a full-screen window sits at (0, 0)).
void WindowCentre(int* x, int* y);

// Puts every value back to its start-up value (tests use it between runs).
void ResetGameState();
