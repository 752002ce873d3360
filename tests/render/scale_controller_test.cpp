// The automatic render scale against machines of known speed: each frame costs a fixed part
// plus a part that grows with the pixels drawn (the scale squared), with noise and the odd
// hitch, and the controller must come to rest at the largest scale that holds 60 frames a
// second, without hunting, and climb back when the machine gets faster.
#include "render/scale_controller.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct tMachine {
    float fixedMs; // per frame, whatever the scale
    float pixelMs; // at full size; scale s costs pixelMs * s * s
};

// A deterministic jitter of +-10 %, and every 97th frame a 60 ms hitch.
float FrameTime(const tMachine& m, float scale, uint32_t frame) {
    if (frame % 97 == 96) {
        return 60.0f;
    }
    const float jitter = 0.9f + 0.2f * static_cast<float>((frame * 2654435761u) >> 24) / 255.0f;
    return (m.fixedMs + m.pixelMs * scale * scale) * jitter;
}

// Runs `frames` frames from the controller's state; returns the steps taken meanwhile.
int Play(tScaleController* c, const tMachine& m, uint32_t frames, uint32_t* clock) {
    const int before = c->changes;
    for (uint32_t i = 0; i < frames; ++i) {
        ScaleControllerFrame(c, FrameTime(m, ControllerScale(*c), (*clock)++));
    }
    return c->changes - before;
}

} // namespace

TEST(ScaleController, SettlesAtTheLargestScaleThatHolds60AndClimbsBack) {
    struct tCase {
        const char* name;
        tMachine machine;
        float lowest; // where it must settle: between these scales
        float highest;
        int maxSteps; // steps taken to get there, in the first 20 s
    };
    // With the jitter a scale holds when its worst frames stay near the target: the settled
    // scale is the largest level whose mean cost is at most about 0.9 of 16.7 ms.
    const tCase cases[] = {
        {"fast machine stays at full size", {2.0f, 8.0f}, 1.0f, 1.0f, 0},
        {"1080p on the CPU (55 ms at full size)", {3.0f, 52.0f}, 0.45f, 0.55f, 3},
        {"800x600 on the CPU (18 ms at full size)", {0.5f, 17.5f}, 0.8f, 0.9f, 3},
        {"too slow for any scale rests at the smallest", {20.0f, 80.0f}, 0.25f, 0.25f, 2},
        {"just under the target keeps full size", {1.0f, 13.5f}, 1.0f, 1.0f, 0},
        // Held to the display's refresh: the game measures the drawing, not the frame the
        // display paced (20 ms at 50 Hz, 16.7 ms at 60 Hz), so a machine with time to spare
        // stays at full size instead of walking down to the smallest scale.
        {"paced by a 50 Hz display, drawn in 11 ms", {1.0f, 10.0f}, 1.0f, 1.0f, 0},
        {"paced by a 60 Hz display, drawn in 13 ms", {1.0f, 12.0f}, 1.0f, 1.0f, 0},
    };
    for (const tCase& t : cases) {
        SCOPED_TRACE(t.name);
        tScaleController c;
        ResetScaleController(&c);
        uint32_t clock = 0;
        const int steps = Play(&c, t.machine, 1200, &clock);
        EXPECT_LE(steps, t.maxSteps);
        const float settled = ControllerScale(c);
        EXPECT_GE(settled, t.lowest - 1e-4f);
        EXPECT_LE(settled, t.highest + 1e-4f);
        // Resting: another minute of frames moves nothing.
        EXPECT_EQ(Play(&c, t.machine, 3600, &clock), 0);
        EXPECT_FLOAT_EQ(ControllerScale(c), settled);
        if (settled < 1.0f && settled > kMinRenderScale) {
            // At rest the frames hold the target, and the next level up would not.
            const float s = settled;
            const float up = s + 1.0f / kScaleLevels;
            EXPECT_LE(t.machine.fixedMs + t.machine.pixelMs * s * s, kTargetFrameMs);
            EXPECT_GT(t.machine.fixedMs + t.machine.pixelMs * up * up,
                      kStepUpBelow * kTargetFrameMs);
        }
    }

    // The machine gets busy (half its speed) for a while and then free again: the scale goes
    // down within a second and climbs back, one level at a time, to where it was or to the
    // level below it (the hysteresis band: from below, the last level up is not sure to hold).
    tScaleController c;
    ResetScaleController(&c);
    uint32_t clock = 0;
    const tMachine free = {0.5f, 17.5f};
    const tMachine busy = {1.0f, 35.0f};
    Play(&c, free, 1200, &clock);
    const float restful = ControllerScale(c);
    Play(&c, busy, 60, &clock);
    EXPECT_LT(ControllerScale(c), restful);
    Play(&c, busy, 1200, &clock);
    const float loaded = ControllerScale(c);
    EXPECT_LT(loaded, restful - 1.5f / kScaleLevels);
    Play(&c, free, 2400, &clock);
    EXPECT_GE(ControllerScale(c), restful - 1.5f / kScaleLevels);
    EXPECT_LE(ControllerScale(c), restful);

    // Half a second of slow frames at a fast machine steps down once; the scale then waits
    // kHoldAfterDown decisions before it climbs back to full size, one level a step.
    ResetScaleController(&c);
    uint32_t downAt = 0, firstUpAt = 0;
    for (uint32_t i = 0; i < 3000; ++i) {
        const float before = ControllerScale(c);
        ScaleControllerFrame(&c, i >= 300 && i < 330 ? 80.0f : 5.0f);
        const float after = ControllerScale(c);
        if (after < before && downAt == 0) {
            downAt = i;
        } else if (after > before) {
            firstUpAt = firstUpAt == 0 ? i : firstUpAt;
            EXPECT_NEAR(after - before, 1.0f / kScaleLevels, 1e-4f) << "frame " << i;
        }
    }
    ASSERT_GT(downAt, 0u);
    EXPECT_GE(firstUpAt - downAt, static_cast<uint32_t>(kHoldAfterDown * kScaleWindowFrames));
    EXPECT_FLOAT_EQ(ControllerScale(c), 1.0f);

    // At 60 Hz, a hitch (half a second of frames drawn in 40 ms), then frames drawn in 12 ms of
    // the 16.7 the display holds them to: the scale goes down to 0.6 and climbs all the way back
    // (measured with the display's wait, every frame read 16.7 ms and it stayed at 0.6).
    ResetScaleController(&c);
    for (uint32_t i = 0; i < 3000; ++i) {
        const float s = ControllerScale(c);
        ScaleControllerFrame(&c, i >= 300 && i < 330 ? 40.0f : 12.0f * s * s);
        if (i == 400) {
            EXPECT_FLOAT_EQ(ControllerScale(c), 0.6f);
        }
    }
    EXPECT_FLOAT_EQ(ControllerScale(c), 1.0f);

    // Hitches alone (a slow frame now and then at an otherwise fast machine) move nothing.
    ResetScaleController(&c);
    for (uint32_t i = 0; i < 3000; ++i) {
        ScaleControllerFrame(&c, i % 10 == 0 ? 80.0f : 5.0f);
    }
    EXPECT_EQ(c.changes, 0);
    EXPECT_FLOAT_EQ(ControllerScale(c), 1.0f);
}
