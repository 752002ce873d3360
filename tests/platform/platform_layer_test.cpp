// What the platform layer adds around any backend: the quit request's place in the queue, the
// cursor while the window lacks the focus, title notes and the replay script's input.
#include "replay/input_script.h"
#include "replay/replay_platform.h"
#include "platform/platform_test.h"

#include <gtest/gtest.h>

#include <string>

namespace {

tEvent Focus(bool gained) {
    tEvent e{};
    e.kind = kEventFocus;
    e.gained = gained;
    return e;
}

} // namespace

TEST(PlatformLayer, CursorIsLeftAloneWithoutFocusAndCentredWhenItReturns) {
    tTestPlatformState& state = ResetTestPlatform();
    state.clientWidth = 800;
    state.clientHeight = 600;
    SetCursorVisible(false);
    SetCursorPos(400, 300);
    EXPECT_FALSE(state.cursorVisible);

    TestPushEvent(Focus(false));
    tEvent event;
    ASSERT_TRUE(PollEvent(&event));
    EXPECT_FALSE(WindowHasFocus());
    EXPECT_TRUE(state.cursorVisible); // the player gets the cursor back
    state.cursorX = 950;              // ... and moves it elsewhere
    state.cursorY = 20;
    int x = 0, y = 0;
    GetCursorPos(&x, &y);
    EXPECT_EQ(x, 400); // reads find it at rest: no mouse-look step
    EXPECT_EQ(y, 300);
    SetCursorPos(400, 300); // no warp while unfocused
    EXPECT_EQ(state.cursorX, 950);
    SetCursorVisible(false); // stays visible until the focus returns
    EXPECT_TRUE(state.cursorVisible);

    TestPushEvent(Focus(true));
    ASSERT_TRUE(PollEvent(&event));
    EXPECT_TRUE(WindowHasFocus());
    EXPECT_FALSE(state.cursorVisible);
    GetCursorPos(&x, &y); // centred again, so the first read takes no jump
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
}

TEST(PlatformLayer, TitleNotesExpireWithTheClock) {
    tTestPlatformState& state = ResetTestPlatform();
    ShowTitleNote("Screenshot saved: ostravel-0001.bmp", 2500);
    SetWindowTitle("Frames Per Second: 60");
    EXPECT_EQ(state.titles.back(), "Frames Per Second: 60  -  Screenshot saved: ostravel-0001.bmp");
    TestAdvanceClock(2500);
    SetWindowTitle("Frames Per Second: 61");
    EXPECT_EQ(state.titles.back(), "Frames Per Second: 61");
}

TEST(PlatformLayer, ScriptInputReplacesLiveInput) {
    tTestPlatformState& state = ResetTestPlatform();
    SelectPlatform(ReplayPlatform(TestPlatform()));
    state.clientWidth = 640;
    state.clientHeight = 480;
    char error[128];
    ASSERT_TRUE(ParseInputScript("0 key w down\n0 mouse 5 -3\n2 click left\n2 key w up\n"
                                 "2 key f12 down\n2 key f12 up\n",
                                 error, sizeof(error)));
    SetLiveInputIgnored(true);
    state.keys[kKeyS] = true; // live keys no longer count
    tEvent live{};
    live.kind = kEventLeftButton;
    TestPushEvent(live);
    tEvent close{};
    close.kind = kEventClose;
    TestPushEvent(close);

    EXPECT_TRUE(InjectScriptEvents(0));
    EXPECT_TRUE(IsKeyDown(kKeyW));
    EXPECT_FALSE(IsKeyDown(kKeyS));
    int x = 0, y = 0;
    GetCursorPos(&x, &y); // from the window's middle until the game re-centres
    EXPECT_EQ(x, 325);
    EXPECT_EQ(y, 237);
    SetCursorPos(320, 240);
    GetCursorPos(&x, &y);
    EXPECT_EQ(x, 320);

    tEvent event;
    ASSERT_TRUE(PollEvent(&event)); // the injected key press
    EXPECT_EQ(event.kind, kEventKeyDown);
    ASSERT_TRUE(PollEvent(&event)); // the live click is dropped; the close still arrives
    EXPECT_EQ(event.kind, kEventClose);
    EXPECT_FALSE(PollEvent(&event));

    EXPECT_FALSE(InjectScriptEvents(1));
    EXPECT_TRUE(InjectScriptEvents(2));
    EXPECT_FALSE(IsKeyDown(kKeyW));
    ASSERT_TRUE(PollEvent(&event));
    EXPECT_EQ(event.kind, kEventLeftButton);
    ASSERT_TRUE(PollEvent(&event)); // F12 arrives as the screenshot key, once
    EXPECT_EQ(event.kind, kEventKeyDown);
    EXPECT_EQ(event.key, kKeyScreenshot);

    PostQuitRequest(0);
    ASSERT_TRUE(PollEvent(&event));
    EXPECT_EQ(event.kind, kEventQuit);
    ClearInputScript();
}

// A recording plays back whatever it holds: a first frame that came a minute after the clock
// started (the full-screen question left open), the longest step the clock can make, and a
// cursor thrown further than a mouse line can say.
TEST(PlatformLayer, ARecordingReadsBackALongFirstStep) {
    tTestPlatformState& state = ResetTestPlatform();
    SelectPlatform(ReplayPlatform(TestPlatform()));
    SetRecordingClock();
    const std::string path = testing::TempDir() + "long_first_step.txt";
    ASSERT_TRUE(StartRecording(path.c_str(), 7, 1.0f, false));
    const uint32_t steps[] = {61000, 20, 0xFFFFFFFFu};
    for (uint32_t frame = 0; frame < 3; ++frame) {
        TestAdvanceClock(steps[frame]);
        RecordFrameStart(frame, AdvanceFixedStep());
        state.cursorX = frame == 1 ? 250000 : 0;
        int x = 0, y = 0;
        GetCursorPos(&x, &y);
        SetCursorPos(0, 0); // re-centred, as mouse look does after any travel
        RecordFrameEnd(frame);
    }
    StopRecording();

    char error[160];
    ASSERT_TRUE(LoadInputScript(path.c_str(), error, sizeof(error))) << error;
    ResetTestPlatform();
    SelectPlatform(ReplayPlatform(TestPlatform()));
    SetFixedStep(0);
    SetLiveInputIgnored(true);
    uint32_t now = 0;
    for (uint32_t frame = 0; frame < 3; ++frame) {
        InjectScriptEvents(frame);
        EXPECT_EQ(AdvanceFixedStep(), steps[frame]) << frame;
        now += steps[frame];
        EXPECT_EQ(TimeMs(), now) << frame;
        int x = 0, y = 0;
        GetCursorPos(&x, &y);
        EXPECT_EQ(x, frame == 1 ? kScriptMouseLimit : 0) << frame;
        SetCursorPos(0, 0);
    }
    ClearInputScript();
}
