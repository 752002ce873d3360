// The GL context set-up decides from the context what it offers, and message boxes that cannot
// be shown still reach the player.
#include "app/display.h"
#include "state/game_state.h"
#include "platform/platform.h"
#include "platform/platform_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(Display, MultitextureIsDecidedByTheContextsVersionAndExtensions) {
    struct tCase {
        const char* version;
        const char* extensions;
        bool supported;
    };
    const tCase kCases[] = {
        {"4.5 (Compatibility Profile) Mesa 22.3.6", "", true},
        {"1.3", nullptr, true},
        {"2.1 Mesa", "GL_EXT_texture", true},
        {"1.2.1 Vendor", "GL_EXT_bgra GL_ARB_multitexture GL_EXT_texture", true},
        {"1.2", "GL_ARB_multitexture", true},
        {"1.2", "GL_EXT_bgra GL_ARB_multitexture", true},
        {"1.2", "", false},
        {"1.2", nullptr, false},
        {"1.1", "GL_ARB_multitexture_plus GL_XGL_ARB_multitexture", false},
        {"0.9", "GL_EXT_texture", false},
        {nullptr, "GL_ARB_multitexture", false}, // no context at all
    };
    for (const tCase& c : kCases) {
        tTestPlatformState& state = ResetTestPlatform();
        ResetGameState();
        ColorBits = 32;
        MainWindow = true;
        state.glVersion = c.version;
        state.glExtensions = c.extensions;
        CreateGLContext(640, 480);
        const std::string what = std::string(c.version ? c.version : "(none)") + " / " +
                                 (c.extensions ? c.extensions : "(none)");
        if (c.supported) {
            EXPECT_TRUE(state.boxes.empty()) << what;
            EXPECT_FALSE(QuitRequested()) << what;
        } else {
            ASSERT_EQ(state.boxes.size(), 1u) << what;
            EXPECT_EQ(state.boxes[0].caption, "Error");
            EXPECT_EQ(state.boxes[0].text, "Your current setup does not support multitexturing");
            EXPECT_TRUE(QuitRequested()) << what;
        }
        // The view is set either way: start-up goes on after the message.
        EXPECT_EQ(WindowWidth, 640u) << what;
    }
}

// With no way to show a box (the test backend refusing, and SDL itself with no display), the
// text goes to standard error as "CAPTION: TEXT" and the box takes its default answer.
TEST(Display, BoxesThatCannotBeShownGoToStandardErrorWithTheirDefault) {
    tTestPlatformState& state = ResetTestPlatform();
    state.failMessageBox = true;
    state.answers = {kAnswerNo};
    testing::internal::CaptureStderr();
    const tMessageAnswer question =
        ShowMessageBox("Click Yes to go to full screen (Recommended)", "Options", kButtonsYesNo);
    ShowError("ChoosePixelFormat failed");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Options: Click Yes to go to full screen (Recommended)\n"
              "Error: ChoosePixelFormat failed\n");
    EXPECT_EQ(question, kAnswerYes);
    EXPECT_TRUE(state.boxes.empty());

    // SDL with neither an X nor a Wayland display cannot show a box at all.
    const char* display = std::getenv("DISPLAY");
    const std::string savedDisplay = display != nullptr ? display : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    SelectPlatform(SdlPlatform());
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowMessageBox("Letters collected. Mission successful.", "VICTORY !", kButtonsOk),
              kAnswerOk);
    EXPECT_EQ(
        ShowMessageBox("Click Yes to go to full screen (Recommended)", "Options", kButtonsYesNo),
        kAnswerYes);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "VICTORY !: Letters collected. Mission successful.\n"
              "Options: Click Yes to go to full screen (Recommended)\n");
    if (display != nullptr) {
        setenv("DISPLAY", savedDisplay.c_str(), 1);
    }
    ResetTestPlatform();
}
