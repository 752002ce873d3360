// Loading the world once, after the window exists and before the main loop.
#pragma once

// The loading screen's text, and where it stands for a window size: pixels from the window's
// lower-left corner, centred by a fixed half width of 128 pixels, a quarter of the way up.
constexpr const char* kLoadingText = "Loading, please wait ...";
void LoadingTextPosition(int width, int height, int* x, int* y);

// Everything a loaded level owns, back to how it stands before the first level: the mission
// (ResetMissionState), the camera's pitch, the head bob, the clouds' drift, the blood, the world's
// clock, the frame timer and the object table. The window's values are left alone. World loading
// calls it first; tests call it for a fresh level.
void ResetLevelState();

// Into the current GL context (the caller makes it for the window): loading screen, height map,
// textures, camera, light and fog, level, sound. False when the sound cannot be started, after
// everything else has loaded: the game cannot go on (start-up ends it with exit code 1).
bool LoadWorld();
