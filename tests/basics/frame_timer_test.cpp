// The frame timer over the test backend's virtual clock.
#include "basics/frame_timer.h"
#include "platform/platform_test.h"

#include <gtest/gtest.h>

namespace {

class FrameTimer : public testing::Test {
  protected:
    void SetUp() override {
        ResetTestPlatform();
        ResetFrameTimer();
    }
    // Steps the timer count times, stepMs apart; the frames-per-second value after each step.
    std::vector<float> Steps(int count, uint32_t stepMs) {
        std::vector<float> rates;
        for (int i = 0; i < count; ++i) {
            TestAdvanceClock(stepMs);
            TickFrameTimer();
            rates.push_back(FramesPerSecond());
        }
        return rates;
    }
};

} // namespace

TEST_F(FrameTimer, FirstStepMeasuresFromTheClocksZero) {
    EXPECT_EQ(FramesPerSecond(), 50.0f);
    EXPECT_EQ(FrameInterval, 0.0f);
    TestAdvanceClock(10000);
    TickFrameTimer();
    EXPECT_EQ(FrameInterval, kMaxFrameInterval); // ten seconds of loading count as the longest
    EXPECT_EQ(FramesPerSecond(), 4.0f);          // one counted step in the window
}

TEST_F(FrameTimer, WindowsCloseAtTheFirstStepPastAQuarterSecond) {
    TestAdvanceClock(10000);
    TickFrameTimer();

    // Every 20 ms: 12 steps make 0.24 s, the 13th closes the window at 0.26 s.
    const std::vector<float> fast = Steps(13, 20);
    EXPECT_NEAR(FrameInterval, 0.02f, 1e-3f);
    EXPECT_EQ(fast[11], 4.0f);
    EXPECT_EQ(fast[12], 52.0f);

    // Every 200 ms: the first step is inside the window, the second closes it with 2 steps.
    const std::vector<float> slow = Steps(2, 200);
    EXPECT_EQ(slow[0], 52.0f);
    EXPECT_EQ(slow[1], 8.0f);

    // A long pause: the longest interval the rules take, and a refresh from the one step since
    // the last; a step just under the bound is taken whole.
    Steps(1, 5000);
    EXPECT_EQ(FrameInterval, kMaxFrameInterval);
    EXPECT_EQ(FramesPerSecond(), 4.0f);
    Steps(1, 240);
    EXPECT_NEAR(FrameInterval, 0.24f, 1e-3f);
}
