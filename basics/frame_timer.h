// The frame timer: the interval between frames (player movement) and a frames-per-second value
// refreshed four times a second (per-second effects and the title).
#pragma once

// Milliseconds to seconds: the single-precision 0.001, widened.
constexpr float kMsToSeconds = 0.001f;
// Seconds a frames-per-second window lasts at least; the rate is the steps in it x 4.
constexpr float kRateWindow = 0.25f;
constexpr float kRateFactor = 4.0f;
// The longest interval a frame's rules scale by, in seconds. A frame that comes later than this
// (after a dragged window, a busy machine, a suspended laptop) counts as this long, so that no
// step of the player or an enemy can pass through scenery or land on the other. Ordinary frames
// stay far below it: the software renderer at 1920x1080 takes about 60 ms, and replays step by
// 16, 20 or 40 ms. A quarter second is the frames-per-second window, whose rate is never below 4
// once refreshed: the per-frame effects that divide by the rate already move at most this much
// of their motion in one frame.
constexpr float kMaxFrameInterval = 0.25f;

// ---- whole run ----
extern float FrameInterval; // seconds between the two latest steps, at most kMaxFrameInterval
extern float FpsValue;      // 50 until the first refresh

// One step per frame, at the end of the camera's update.
void TickFrameTimer();
float FramesPerSecond();
// An interval in seconds as the rules take it: at most kMaxFrameInterval.
float BoundedInterval(float seconds);
// The rate the per-frame effects divide their motion by (blood, cloud drift): FramesPerSecond,
// never below 1 / kMaxFrameInterval, so that one frame moves them by at most that interval.
float EffectRate();
// Puts the timer back to its start-up values (tests).
void ResetFrameTimer();
