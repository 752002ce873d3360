#include "camera/frame_timer.h"

float FrameInterval = 0.0f;
float FpsValue = 50.0f;

void TickFrameTimer() {}
float FramesPerSecond() {
    return FpsValue;
}
