// The frame timer: the interval between frames (player movement) and a frames-per-second value
// refreshed four times a second (per-second effects and the title).
#pragma once

// ---- whole run ----
extern float FrameInterval; // seconds between the two latest steps
extern float FpsValue;      // 50 until the first refresh

// One step per frame, at the end of the camera's update.
void TickFrameTimer();
float FramesPerSecond();
