// The shared game state: the few globals that several parts of the game read and write, grouped
// by how long they live. Each group has one reset, which start-up, world loading and the tests
// call alike.
#pragma once

#include "basics/vec3.h"

#include <cstdint>

// ---- the window and its GL context: from the settings at start-up, then every resize;
// ResetWindowState ----
extern uint32_t WindowWidth;  // client-area width in pixels
extern uint32_t WindowHeight; // client-area height in pixels
extern uint32_t ColorBits;    // colour depth; also the depth-buffer bits asked for
extern bool FullScreen;       // cleared when the player declines full screen

// ---- window-system handles (true while the object exists) ----
extern bool AppInstance;
extern bool MainWindow;
extern bool WindowDC;
extern bool GLContext;

// ---- a loaded level: the mission; ResetMissionState (world loading calls it) ----
constexpr int kFullHealth = 100;  // the player's health at the start and after each letter
extern int32_t PlayerHealth;      // 0 ... kFullHealth; enemy fire lowers it, letters refill it
extern uint32_t LettersCollected; // letters collected so far
extern char LetterWord[6];        // the word the letters spell
extern int32_t RedTintFrames;     // frames left of the red tint after enemy fire
extern bool BloodActive;          // a blood burst is running
extern int32_t ShotTarget;        // enemy hit by the last shot that hit
extern tVec3 HitPoint;            // where that shot struck
extern float WorldFrameInterval;  // seconds between the last two world updates (bounded)
extern float LetterSpin;          // heading of every letter, degrees

// The middle of the view in screen pixels, where mouse look keeps the cursor: the client
// area's origin plus half the view's size (a full-screen window sits at (0, 0)).
void WindowCentre(int* x, int* y);

// The window's size, depth and handles as before any window existed.
void ResetWindowState();
// A fresh mission: full health, no letters, the word KWERT, no tint, no blood, no hit.
void ResetMissionState();
// Both: every value back to its start-up value.
void ResetGameState();
