// The player's own files: a personal Setup.ini read instead of the shipped one, and F12
// screenshots as PNG files in the player's data directory, never in the game's.
#include "replay/capture.h"
#include "app/startup.h"
#include "state/game_state.h"
#include "platform/gl_api.h"
#include "platform/user_dirs.h"
#include "tests/render/offscreen_gl.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Sets an environment variable for one test and puts the old value back afterwards.
struct tEnvVar {
    std::string name;
    bool had = false;
    std::string old;
    tEnvVar(const char* n, const std::string& value) : name(n) {
        if (const char* v = std::getenv(n)) {
            had = true;
            old = v;
        }
        setenv(n, value.c_str(), 1);
    }
    ~tEnvVar() {
        if (had) {
            setenv(name.c_str(), old.c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }
};

std::string Scratch(const char* name) {
    const fs::path dir = fs::path(testing::TempDir()) / name;
    fs::remove_all(dir);
    return dir.string();
}

void WriteText(const std::string& path, const char* text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << text;
}

std::string Settings() {
    char path[4096];
    SettingsPath(path, sizeof(path));
    return path;
}

} // namespace

TEST(PlayerFiles, OwnSettingsReplaceTheShippedOnesAndABadCopyFallsBackToTheDefaults) {
    const std::string root = Scratch("player-settings");
    const tEnvVar home("HOME", root + "/home");
    const tEnvVar config("XDG_CONFIG_HOME", root + "/config");
    // No copy of the player's: the shipped file.
    EXPECT_EQ(Settings(), "Data/Setup.ini");
    const std::string own = root + "/config/ostravel/Setup.ini";
    WriteText(own, "640 480 16\n");
    EXPECT_EQ(Settings(), own);
    LoadSettings();
    EXPECT_EQ(WindowWidth, 640u);
    EXPECT_EQ(WindowHeight, 480u);
    EXPECT_EQ(ColorBits, 16u);

    // A bad copy is named in the message and the defaults apply, not the shipped values.
    WriteText(own, "1024 oops\n");
    testing::internal::CaptureStderr();
    LoadSettings();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              own + ": 1 of 3 settings read; using 800x600x32 for the rest\n");
    EXPECT_EQ(WindowWidth, 1024u);
    EXPECT_EQ(WindowHeight, 600u);
    EXPECT_EQ(ColorBits, 32u);

    // A relative XDG_CONFIG_HOME does not count: the home directory's .config does.
    const tEnvVar relative("XDG_CONFIG_HOME", "config");
    EXPECT_EQ(Settings(), "Data/Setup.ini");
    const std::string homeCopy = root + "/home/.config/ostravel/Setup.ini";
    WriteText(homeCopy, "320 240 24\n");
    EXPECT_EQ(Settings(), homeCopy);
}

TEST(PlayerFiles, ScreenshotsArePngsNamedByTimeInTheirOwnDirectory) {
    const std::string root = Scratch("player-shots");
    const tEnvVar home("HOME", root);
    const tEnvVar data("XDG_DATA_HOME", "");
    ASSERT_TRUE(OpenSdlContext(64, 32)) << "no offscreen video";
    tContextCloser closer;
    // The top half red, the bottom half blue: the file must keep the picture upright.
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 16, 64, 16);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);

    setenv("TZ", "UTC", 1);
    tzset();
    const time_t when = 1796811000; // 2026-12-09 10:10:00 UTC
    const std::string dir = root + "/.local/share/ostravel/screenshots";
    char first[4096], second[4096];
    ASSERT_TRUE(SaveScreenshot(when, first, sizeof(first))) << first;
    ASSERT_TRUE(SaveScreenshot(when, second, sizeof(second))) << second;
    EXPECT_EQ(std::string(first), dir + "/ostravel-20261209-101000.png");
    EXPECT_EQ(std::string(second), dir + "/ostravel-20261209-101000-2.png");

    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&png, first)) << png.message;
    png.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(png));
    ASSERT_TRUE(png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr)) << png.message;
    EXPECT_EQ(png.width, 64u);
    EXPECT_EQ(png.height, 32u);
    const size_t lastRow = 31 * 64 * 3;
    EXPECT_EQ((std::vector<int>{rgb[0], rgb[1], rgb[2]}), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ((std::vector<int>{rgb[lastRow], rgb[lastRow + 1], rgb[lastRow + 2]}),
              (std::vector<int>{0, 0, 255}));

    // --capture: PNG by its name, a BMP otherwise.
    const std::string png_path = root + "/frame.PNG", bmp_path = root + "/frame.bmp";
    ASSERT_TRUE(WriteFrame(png_path.c_str(), 64, 32));
    ASSERT_TRUE(WriteFrame(bmp_path.c_str(), 64, 32));
    std::ifstream pngFile(png_path, std::ios::binary), bmpFile(bmp_path, std::ios::binary);
    std::string pngHead(4, '\0'), bmpHead(2, '\0');
    pngFile.read(pngHead.data(), 4);
    bmpFile.read(bmpHead.data(), 2);
    EXPECT_EQ(pngHead, "\x89PNG");
    EXPECT_EQ(bmpHead, "BM");

    // A directory that cannot be made is a failure that says so, not a file elsewhere.
    WriteText(root + "/blocked", "a file where the directory should be");
    const tEnvVar blocked("XDG_DATA_HOME", root + "/blocked");
    EXPECT_FALSE(SaveScreenshot(when, first, sizeof(first)));
    EXPECT_EQ(std::string(first),
              "cannot create " + root + "/blocked/ostravel/screenshots: Not a directory");
}
