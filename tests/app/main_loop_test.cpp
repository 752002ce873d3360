// The start-up sequence, main loop and shutdown driven through the test backend.
#include "app/startup.h"
#include "state/game_state.h"
#include "state/options.h"
#include "platform/platform_test.h"
#include "platform/sound_backend.h"
#include "sound/sound_effect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

tEvent Event(tEventKind kind, int key = 0) {
    tEvent e{};
    e.kind = kind;
    e.key = key;
    return e;
}

size_t IndexOf(const std::vector<std::string>& calls, const std::string& name) {
    return static_cast<size_t>(std::find(calls.begin(), calls.end(), name) - calls.begin());
}

class MainLoop : public testing::Test {
  protected:
    void SetUp() override {
        ResetGameState();
        GameOptions = tOptions{};
        ResetTestPlatform();
        ShutdownSound(); // each run starts the sound output afresh, as a new process would
    }
};

} // namespace

TEST_F(MainLoop, AnsweringNoOpensTheConfiguredWindowAndEscapeEndsWithZero) {
    tTestPlatformState& state = TestPlatformState();
    state.answers = {kAnswerNo};
    TestPushEvent(Event(kEventKeyDown, kKeyEscape));

    EXPECT_EQ(RunGame(), 0);
    ASSERT_FALSE(state.boxes.empty());
    EXPECT_EQ(state.boxes[0].caption, "Options");
    EXPECT_EQ(state.boxes[0].text, "Click Yes to go to full screen (Recommended)");
    EXPECT_EQ(state.boxes[0].buttons, kButtonsYesNo);
    EXPECT_FALSE(FullScreen);
    EXPECT_FALSE(state.fullScreen);
    EXPECT_EQ(state.clientWidth, 800);
    EXPECT_EQ(state.clientHeight, 600);
    EXPECT_EQ(state.colorBits, 32);
    EXPECT_EQ(state.depthBits, 32); // the depth buffer asks for as many bits as the colour
    EXPECT_EQ(state.titles.front(), "Ostravel");
    // The Escape press is handled in the first pass; the quit request ends the loop before any
    // frame is drawn.
    EXPECT_EQ(FramesDrawn, 0u);
    // Context released and deleted before the window system goes; no mode to restore.
    const auto& calls = state.calls;
    EXPECT_LT(IndexOf(calls, "createWindow"), IndexOf(calls, "createContext"));
    EXPECT_LT(IndexOf(calls, "releaseContext"), IndexOf(calls, "deleteContext"));
    EXPECT_LT(IndexOf(calls, "deleteContext"), IndexOf(calls, "shutdown"));
    EXPECT_EQ(IndexOf(calls, "restoreDisplayMode"), calls.size());
}

TEST_F(MainLoop, OneEventPerPassAndFramesOnlyWhenTheQueueIsEmpty) {
    FramesDrawn = 0;
    for (int i = 0; i < 3; ++i) {
        TestPushEvent(Event(kEventRightButton));
    }
    int exitCode = -1;
    for (int pass = 0; pass < 3; ++pass) {
        ASSERT_TRUE(MainLoopPass(&exitCode));
        EXPECT_EQ(FramesDrawn, 0u) << "a frame ran while events waited";
    }
    ASSERT_TRUE(MainLoopPass(&exitCode));
    EXPECT_EQ(FramesDrawn, 1u);

    // Events queued ahead of the quit request are still handled, then the loop ends.
    PostQuitRequest(0);
    TestPushEvent(Event(kEventRightButton));
    EXPECT_TRUE(MainLoopPass(&exitCode));
    EXPECT_FALSE(MainLoopPass(&exitCode));
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(FramesDrawn, 1u);
}

TEST_F(MainLoop, FrameLimitAndWindowEvents) {
    GameOptions.askFullScreen = false;
    GameOptions.fullScreen = false;
    GameOptions.frameLimit = 3;
    tEvent resize = Event(kEventResize);
    resize.width = 640;
    resize.height = 0;
    TestPushEvent(resize);
    EXPECT_EQ(RunGame(), 0);
    EXPECT_EQ(FramesDrawn, 3u);
    EXPECT_EQ(WindowWidth, 640u);
    EXPECT_EQ(WindowHeight, 1u); // a zero height never reaches the aspect ratio

    // In full screen a resize is ignored; closing the window ends the game.
    ResetTestPlatform();
    ShutdownSound();
    GameOptions.fullScreen = true;
    TestPushEvent(resize);
    TestPushEvent(Event(kEventClose));
    EXPECT_EQ(RunGame(), 0);
    EXPECT_EQ(WindowWidth, 800u);
    EXPECT_EQ(FramesDrawn, 0u);
}

TEST_F(MainLoop, FullScreenFailureShowsTheMessageLoadsAndEndsWithoutDrawing) {
    tTestPlatformState& state = TestPlatformState();
    state.failChangeDisplayMode = true;
    EXPECT_EQ(RunGame(), kExitCouldNotStart);
    ASSERT_GE(state.boxes.size(), 2u);
    EXPECT_EQ(state.boxes[1].caption, "Error");
    EXPECT_EQ(state.boxes[1].text, "Display Mode Not Compatible");
    EXPECT_TRUE(FullScreen);
    EXPECT_NE(IndexOf(state.calls, "createContext"), state.calls.size()); // loading still ran
    EXPECT_EQ(FramesDrawn, 0u);
    // Full screen gives the display back after the context is gone and shows the cursor.
    EXPECT_LT(IndexOf(state.calls, "deleteContext"), IndexOf(state.calls, "restoreDisplayMode"));
    EXPECT_TRUE(state.cursorVisible);
}

// A display that cannot even report its mode gets the message, and the game goes on at the
// resolution it has: no mode change is tried, no quit request, frames are drawn.
TEST_F(MainLoop, DisplayModeQueryFailureSaysSoAndPlaysOn) {
    tTestPlatformState& state = TestPlatformState();
    state.failQueryDisplayMode = true;
    GameOptions.frameLimit = 2;
    EXPECT_EQ(RunGame(), 0);
    ASSERT_GE(state.boxes.size(), 2u);
    EXPECT_EQ(state.boxes[0].caption, "Options");
    EXPECT_EQ(state.boxes[1].caption, "Error");
    EXPECT_EQ(state.boxes[1].text, "Could Not Enum Display Settings");
    EXPECT_EQ(state.boxes[1].buttons, kButtonsOk);
    EXPECT_TRUE(FullScreen);
    EXPECT_EQ(IndexOf(state.calls, "changeDisplayMode"), state.calls.size());
    EXPECT_EQ(FramesDrawn, 2u);
}

namespace {

// Sound that starts but cannot load its sample, and tells whether it was closed again.
bool StagedSoundOpen = false;
const tSoundBackend StagedNoSample = {
    .name = "no sample",
    .start = [](int, int) { return StagedSoundOpen = true; },
    .loadSample = [](const char*) { return 0; },
    .play = [](int) { return -1; },
    .stop = [](int) {},
    .close = [] { StagedSoundOpen = false; },
    .lastError = [] { return static_cast<int>(kSoundErrFileNotFound); },
};

} // namespace

// A full-screen start whose sound fails ends with exit code 1 before any frame, yet through the
// whole shutdown sequence: the display mode restored, the cursor shown, the sound closed.
TEST_F(MainLoop, FullScreenStartWithoutSoundRestoresTheDisplayAndEndsWithOne) {
    tTestPlatformState& state = TestPlatformState();
    SelectSoundBackend(&StagedNoSample);
    testing::internal::CaptureStdout();
    const int exitCode = RunGame();
    const std::string printed = testing::internal::GetCapturedStdout();
    SelectSoundBackend(SdlMixerSound());
    EXPECT_EQ(exitCode, 1);
    EXPECT_NE(printed.find("File not found"), std::string::npos);
    EXPECT_TRUE(FullScreen);
    EXPECT_EQ(FramesDrawn, 0u);
    const auto& calls = state.calls;
    ASSERT_LT(IndexOf(calls, "changeDisplayMode"), calls.size());
    // The window's size at the refresh rate the display reported (60 Hz).
    EXPECT_EQ(state.askedMode.width, 800);
    EXPECT_EQ(state.askedMode.height, 600);
    EXPECT_EQ(state.askedMode.refreshRate, 60);
    EXPECT_LT(IndexOf(calls, "deleteContext"), IndexOf(calls, "restoreDisplayMode"));
    EXPECT_LT(IndexOf(calls, "restoreDisplayMode"), IndexOf(calls, "shutdown"));
    EXPECT_LT(IndexOf(calls, "shutdown"), calls.size());
    EXPECT_TRUE(state.cursorVisible);
    EXPECT_FALSE(StagedSoundOpen);
}

// Each way start-up can fail, alone: its message as the player sees it, no frame, and the exit
// code of a game that could not start, which a launcher or a script tells from a quit.
TEST_F(MainLoop, EachFailedStartSaysWhyAndExitsWithItsOwnCode) {
    const struct {
        bool tTestPlatformState::*failure;
        bool fullScreen;
        const char* message; // nullptr: none of the game's own
        int exitCode;
    } cases[] = {
        {nullptr, false, nullptr, 0}, // Escape, the player's quit
        {&tTestPlatformState::failCreateWindow, false, nullptr, kExitCouldNotStart},
        {&tTestPlatformState::failChangeDisplayMode, true, "Display Mode Not Compatible",
         kExitCouldNotStart},
        {&tTestPlatformState::failChoosePixelFormat, false, "ChoosePixelFormat failed",
         kExitCouldNotStart},
        {&tTestPlatformState::failSetPixelFormat, false, "SetPixelFormat failed",
         kExitCouldNotStart},
        {&tTestPlatformState::noMultitexture, false,
         "Your current setup does not support multitexturing", kExitCouldNotStart},
    };
    for (const auto& c : cases) {
        const std::string name = c.message != nullptr ? c.message : "window or quit";
        ResetGameState();
        tTestPlatformState& state = ResetTestPlatform();
        ShutdownSound();
        GameOptions.askFullScreen = false;
        GameOptions.fullScreen = c.fullScreen;
        if (c.failure != nullptr) {
            state.*c.failure = true;
        }
        TestPushEvent(Event(kEventKeyDown, kKeyEscape));
        EXPECT_EQ(RunGame(), c.exitCode) << name;
        EXPECT_EQ(FramesDrawn, 0u) << name;
        if (c.message != nullptr) {
            // Loaders that find no data in the build directory may add their own boxes after it.
            ASSERT_FALSE(state.boxes.empty()) << name;
            EXPECT_EQ(state.boxes[0].caption, "Error") << name;
            EXPECT_EQ(state.boxes[0].text, c.message);
        }
        if (c.failure == &tTestPlatformState::failCreateWindow) {
            EXPECT_EQ(IndexOf(state.calls, "createContext"), state.calls.size());
        }
    }
}
