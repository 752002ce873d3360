// The player's ostravel.conf: every key read, bad lines named with their number and left at the
// default, the command line first, and the mouse settings felt through mouse look itself.
#include "app/player_config.h"
#include "state/game_state.h"
#include "state/options.h"
#include "camera/camera.h"
#include "platform/platform.h"
#include "platform/platform_test.h"
#include "platform/sound_backend.h"
#include "world/movement.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

tParseResult Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "ostravel");
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    return ParseOptions(static_cast<int>(argv.size()), argv.data());
}

} // namespace

TEST(PlayerConfig, ReadsEveryKeyNamesBadLinesAndTheCommandLineWins) {
    // The player's file, where the game looks for it.
    const std::string dir = std::string(std::getenv("XDG_CONFIG_HOME")) + "/ostravel";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/ostravel.conf";
    std::ofstream(path) << "# my settings\n"
                           "fullscreen = no\n"
                           "mouse_sensitivity=2.0   # twice as fast\n"
                           "  invert_mouse = yes\n"
                           "vsync = no\n"
                           "volume = 40\n"
                           "render_scale = 0.6\n"
                           "fullscreen_mode = desktop\n";
    tPlayerConfig config;
    testing::internal::CaptureStderr();
    ReadPlayerConfig(&config);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    std::filesystem::remove(path);
    EXPECT_EQ(config.fullScreen, kFullScreenNo);
    EXPECT_EQ(config.mouseSensitivity, 2.0f);
    EXPECT_TRUE(config.invertMouse);
    EXPECT_FALSE(config.vsync);
    EXPECT_EQ(config.volume, 40);
    EXPECT_EQ(config.renderScale, 0.6f);
    EXPECT_FALSE(config.renderScaleAuto);
    EXPECT_TRUE(config.desktopFullScreen);

    // Each bad line is named and its key keeps the default; good lines around it still count.
    tPlayerConfig bad;
    testing::internal::CaptureStderr();
    ParsePlayerConfig("fullscreen = maybe\nmouse_sensitivity = 0\nvolume = 101\nvolume = 7\n"
                      "sensitivity = 3\ninvert_mouse\nvsync = sometimes\nrender_scale = 0.2\n"
                      "fullscreen_mode = window\n",
                      "ostravel.conf", &bad);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said,
              "ostravel.conf line 1: bad value \"maybe\" for fullscreen; the default is used\n"
              "ostravel.conf line 2: bad value \"0\" for mouse_sensitivity; the default is "
              "used\n"
              "ostravel.conf line 3: bad value \"101\" for volume; the default is used\n"
              "ostravel.conf line 5: unknown key \"sensitivity\"; ignored\n"
              "ostravel.conf line 6: \"key = value\" expected: invert_mouse\n"
              "ostravel.conf line 7: bad value \"sometimes\" for vsync; the default is used\n"
              "ostravel.conf line 8: bad value \"0.2\" for render_scale; the default is used\n"
              "ostravel.conf line 9: bad value \"window\" for fullscreen_mode; the default is "
              "used\n");
    EXPECT_EQ(bad.fullScreen, kFullScreenAsk);
    EXPECT_EQ(bad.mouseSensitivity, 1.0f);
    EXPECT_EQ(bad.volume, 7);
    EXPECT_FALSE(bad.invertMouse);
    EXPECT_TRUE(bad.vsync);
    EXPECT_EQ(bad.renderScale, 1.0f);
    EXPECT_FALSE(bad.desktopFullScreen);

    // The command line answers first; what it leaves open the file decides.
    ASSERT_EQ(Parse({}), kParseRun);
    ApplyPlayerConfig(config);
    EXPECT_FALSE(GameOptions.askFullScreen);
    EXPECT_FALSE(GameOptions.fullScreen);
    EXPECT_TRUE(GameOptions.noVsync);
    EXPECT_EQ(SoundVolume(), 40);
    EXPECT_EQ(GameOptions.renderScale, 0.6f);
    ASSERT_EQ(Parse({"--render-scale", "auto"}), kParseRun);
    ApplyPlayerConfig(config);
    EXPECT_TRUE(GameOptions.renderScaleAuto);
    config.fullScreen = kFullScreenYes;
    ASSERT_EQ(Parse({"--windowed"}), kParseRun);
    ApplyPlayerConfig(config);
    EXPECT_FALSE(GameOptions.fullScreen);
    ASSERT_EQ(Parse({}), kParseRun);
    ApplyPlayerConfig(config);
    EXPECT_TRUE(GameOptions.fullScreen);

    // Mouse look with sensitivity 2, inverted: 100 pixels left and 50 up turn 0.2 rad left and
    // 0.1 rad down.
    ResetTestPlatform();
    ResetGameState();
    WindowWidth = 800;
    WindowHeight = 600;
    Camera.Place(0.0f, 50.0f, 0.0f, 0.0f, 50.0f, 1.0f, 0.0f, 1.0f, 0.0f);
    SetCursorPos(400, 300);
    TestPlatformState().cursorX = 300;
    TestPlatformState().cursorY = 250;
    LookWithMouse(Camera);
    EXPECT_NEAR(PitchTotal, -0.1f, 1e-6f);
    EXPECT_NEAR(Camera.View().x, std::sin(0.2f) * std::cos(0.1f), 1e-4f);
    EXPECT_NEAR(Camera.View().y - 50.0f, -std::sin(0.1f), 1e-4f);

    ApplyPlayerConfig(tPlayerConfig{});
    GameOptions = tOptions{};
    EXPECT_EQ(MouseSensitivity, 1.0f);
    EXPECT_FALSE(InvertMouse);
    EXPECT_EQ(SoundVolume(), 100);
}
