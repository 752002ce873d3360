// The frame timer: the interval between frames (player movement) and a frames-per-second value
// refreshed four times a second (per-second effects and the title).
#pragma once

// Milliseconds to seconds: the single-precision 0.001, widened.
constexpr float kMsToSeconds = 0.001f;
// Seconds a frames-per-second window lasts at least; the rate is the steps in it x 4.
constexpr float kRateWindow = 0.25f;
constexpr float kRateFactor = 4.0f;

// ---- whole run ----
extern float FrameInterval; // seconds between the two latest steps
extern float FpsValue;      // 50 until the first refresh

// One step per frame, at the end of the camera's update.
void TickFrameTimer();
float FramesPerSecond();
// Puts the timer back to its start-up values (tests).
void ResetFrameTimer();
