#include "basics/frame_timer.h"

#include "platform/platform.h"

#include <algorithm>

float FrameInterval = 0.0f;
float FpsValue = 50.0f;

namespace {

// Clock readings in seconds. Both start at the clock's zero, so the first step measures from
// there and (on any clock past a quarter second) refreshes the rate at once.
float LastFrameTime = 0.0f;
float LastRateTime = 0.0f;
float FrameCount = 0.0f;

} // namespace

void TickFrameTimer() {
    const float now =
        static_cast<float>(static_cast<double>(TimeMs()) * static_cast<double>(kMsToSeconds));
    FrameInterval = BoundedInterval(now - LastFrameTime);
    LastFrameTime = now;
    // Counted before the test, so a refreshed value is never below 4.
    FrameCount = FrameCount + 1.0f;
    if (now - LastRateTime > kRateWindow) {
        LastRateTime = now;
        FpsValue = FrameCount * kRateFactor;
        FrameCount = 0.0f;
    }
}

float FramesPerSecond() {
    return FpsValue;
}

float BoundedInterval(float seconds) {
    return std::min(seconds, kMaxFrameInterval);
}

float EffectRate() {
    // The floor first: a rate that is no number counts as the floor too.
    return std::max(1.0f / kMaxFrameInterval, FpsValue);
}

void ResetFrameTimer() {
    FrameInterval = 0.0f;
    FpsValue = 50.0f;
    LastFrameTime = 0.0f;
    LastRateTime = 0.0f;
    FrameCount = 0.0f;
}
