#include "render/scale_controller.h"

#include <algorithm>

namespace {

float LevelScale(int level) {
    return static_cast<float>(level) / static_cast<float>(kScaleLevels);
}

// The time a frame of the window would take at level `to`, measured `ms` at level `from`.
float Predicted(float ms, int from, int to) {
    const float ratio = LevelScale(to) / LevelScale(from);
    return ms * ratio * ratio;
}

float Median(float* values, int count) {
    std::sort(values, values + count);
    return values[count / 2];
}

} // namespace

void ResetScaleController(tScaleController* controller) {
    *controller = tScaleController{};
}

bool ScaleControllerFrame(tScaleController* c, float frameMs) {
    c->frameMs[c->frames++] = frameMs;
    if (c->frames < kScaleWindowFrames) {
        return false;
    }
    c->frames = 0;
    const float median = Median(c->frameMs, kScaleWindowFrames);
    if (c->holdUp > 0) {
        --c->holdUp;
    }
    int level = c->level;
    if (median > kStepDownAbove * kTargetFrameMs) {
        // Straight to the largest level predicted to fit, at least one level down.
        level = c->level - 1;
        while (level > kMinScaleLevel &&
               Predicted(median, c->level, level) > kStepDownAim * kTargetFrameMs) {
            --level;
        }
        level = std::max(level, kMinScaleLevel);
        c->holdUp = kHoldAfterDown;
    } else if (c->holdUp == 0 && c->level < kScaleLevels &&
               Predicted(median, c->level, c->level + 1) < kStepUpBelow * kTargetFrameMs) {
        level = c->level + 1;
    }
    if (level == c->level) {
        return false;
    }
    c->level = level;
    ++c->changes;
    return true;
}

float ControllerScale(const tScaleController& controller) {
    return LevelScale(controller.level);
}
