// Window events: a resize moves the mouse-look centre, and the view must not take the shift for
// a turn, whether the cursor is live or replayed.
#include "app/display.h"
#include "replay/replay_platform.h"
#include "state/game_state.h"
#include "app/window_events.h"
#include "camera/camera.h"
#include "platform/platform_test.h"
#include "world/movement.h"

#include <gtest/gtest.h>

TEST(WindowEvents, ResizeRecentresTheCursorSoTheViewDoesNotTurn) {
    for (const bool replay : {false, true}) {
        ResetTestPlatform();
        SelectPlatform(ReplayPlatform(TestPlatform()));
        ResetGameState();
        FullScreen = false;
        WindowWidth = 800;
        WindowHeight = 600;
        SetLiveInputIgnored(replay);
        Camera.Place(0.0f, 50.0f, 0.0f, 0.0f, 50.0f, 1.0f, 0.0f, 1.0f, 0.0f);
        SetCursorPos(400, 300); // where the last frame's mouse look left it

        tEvent resize{};
        resize.kind = kEventResize;
        resize.width = 400;
        resize.height = 300;
        HandleWindowEvent(resize);
        LookWithMouse(Camera);

        EXPECT_EQ(WindowWidth, 400u);
        EXPECT_EQ(Camera.View().x, 0.0f) << (replay ? "replayed" : "live") << " cursor";
        EXPECT_EQ(Camera.View().y, 50.0f) << (replay ? "replayed" : "live") << " cursor";
        if (!replay) {
            EXPECT_EQ(TestPlatformState().cursorX, 200);
            EXPECT_EQ(TestPlatformState().cursorY, 150);
        }
    }
    SetLiveInputIgnored(false);
}

// A move keeps the size but shifts the centre just the same: the cursor left resting on the old
// centre must not read as a turn, live or replayed, windowed or full screen.
TEST(WindowEvents, MoveRecentresTheCursorSoTheViewDoesNotTurn) {
    for (const bool replay : {false, true}) {
        for (const bool fullScreen : {false, true}) {
            tTestPlatformState& state = ResetTestPlatform();
            SelectPlatform(ReplayPlatform(TestPlatform()));
            ResetGameState();
            FullScreen = fullScreen;
            WindowWidth = 800;
            WindowHeight = 600;
            SetLiveInputIgnored(replay);
            Camera.Place(0.0f, 50.0f, 0.0f, 0.0f, 50.0f, 1.0f, 0.0f, 1.0f, 0.0f);
            SetCursorPos(400, 300);

            state.originX = 130;
            state.originY = 70;
            tEvent move{};
            move.kind = kEventMove;
            HandleWindowEvent(move);
            LookWithMouse(Camera);

            const char* how = replay ? "replayed" : "live";
            EXPECT_EQ(WindowWidth, 800u) << how;
            EXPECT_EQ(Camera.View().x, 0.0f) << how << " cursor, full screen " << fullScreen;
            EXPECT_EQ(Camera.View().y, 50.0f) << how << " cursor, full screen " << fullScreen;
            if (!replay) {
                EXPECT_EQ(state.cursorX, 530);
                EXPECT_EQ(state.cursorY, 370);
            }
            // The next real motion still turns from the new centre: 100 pixels left, 0.1 rad.
            if (replay) {
                SetVirtualCursorOffset(-100, 0);
            } else {
                state.cursorX = 430;
            }
            LookWithMouse(Camera);
            EXPECT_NEAR(Camera.View().x, 0.0998f, 0.001f) << how;
        }
    }
    SetLiveInputIgnored(false);
}

// F11 or Alt+Enter: full screen at the configured size, then back to the window's own size and
// place; the view never turns on the way, live or replayed. A display without the configured
// mode leaves the window as it is. Over the desktop, full screen takes the window's own display
// and follows its resolution.
TEST(WindowEvents, FullScreenToggleKeepsTheViewAndRestoresTheWindow) {
    for (const bool replay : {false, true}) {
        const char* how = replay ? "replayed" : "live";
        tTestPlatformState& state = ResetTestPlatform();
        SelectPlatform(ReplayPlatform(TestPlatform()));
        ResetGameState();
        FullScreen = false;
        SetFullScreenSize(800, 600);
        // The player has made the window smaller and moved it.
        state.clientWidth = 640;
        state.clientHeight = 480;
        state.originX = 130;
        state.originY = 70;
        WindowWidth = 640;
        WindowHeight = 480;
        SetLiveInputIgnored(replay);
        Camera.Place(0.0f, 50.0f, 0.0f, 0.0f, 50.0f, 1.0f, 0.0f, 1.0f, 0.0f);
        SetCursorPos(450, 310);

        tEvent toggle{};
        toggle.kind = kEventKeyDown;
        toggle.key = kKeyFullScreen;
        HandleWindowEvent(toggle);
        LookWithMouse(Camera);
        EXPECT_TRUE(FullScreen) << how;
        EXPECT_TRUE(state.fullScreen) << how;
        EXPECT_EQ(WindowWidth, 800u) << how;
        EXPECT_EQ(WindowHeight, 600u) << how;
        EXPECT_EQ(Camera.View(), tVec3(0.0f, 50.0f, 1.0f)) << how;
        if (!replay) {
            EXPECT_EQ(state.cursorX, 400);
            EXPECT_EQ(state.cursorY, 300);
        }
        // The resize the switch brings is ignored in full screen.
        tEvent resize{};
        resize.kind = kEventResize;
        resize.width = 1920;
        resize.height = 1080;
        HandleWindowEvent(resize);
        EXPECT_EQ(WindowWidth, 800u) << how;

        HandleWindowEvent(toggle);
        LookWithMouse(Camera);
        EXPECT_FALSE(FullScreen) << how;
        EXPECT_FALSE(state.fullScreen) << how;
        EXPECT_EQ(state.clientWidth, 640) << how;
        EXPECT_EQ(state.clientHeight, 480) << how;
        EXPECT_EQ(state.originX, 130) << how;
        EXPECT_EQ(state.originY, 70) << how;
        EXPECT_EQ(WindowWidth, 640u) << how;
        EXPECT_EQ(WindowHeight, 480u) << how;
        EXPECT_EQ(Camera.View(), tVec3(0.0f, 50.0f, 1.0f)) << how;
        if (!replay) {
            EXPECT_EQ(state.cursorX, 450);
            EXPECT_EQ(state.cursorY, 310);
        }

        state.failChangeDisplayMode = true;
        testing::internal::CaptureStderr();
        HandleWindowEvent(toggle);
        EXPECT_NE(testing::internal::GetCapturedStderr().find("800x600"), std::string::npos);
        EXPECT_FALSE(FullScreen) << how;
        EXPECT_EQ(WindowWidth, 640u) << how;
        state.failChangeDisplayMode = false;

        // Over the desktop: the size of the display the window was moved to, not the first
        // display's, and then that display's new resolution.
        UseDesktopFullScreen(true);
        SetFullScreenSize(800, 600);
        state.windowDisplay = 1;
        HandleWindowEvent(toggle);
        EXPECT_EQ(state.clientWidth, 2560) << how;
        EXPECT_EQ(WindowHeight, 1440u) << how;
        state.displays[1] = {1280, 720, 60};
        resize.width = 1280;
        resize.height = 720;
        HandleWindowEvent(resize);
        EXPECT_EQ(WindowWidth, 1280u) << how;
        EXPECT_EQ(WindowHeight, 720u) << how;
        UseDesktopFullScreen(false);
    }
    SetLiveInputIgnored(false);
}
