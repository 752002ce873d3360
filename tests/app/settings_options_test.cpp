#include "replay/input_script.h"
#include "app/startup.h"
#include "state/game_state.h"
#include "state/options.h"
#include "platform/platform_test.h"
#include "tests/models/md2_test_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string WriteTemp(const std::string& name, const std::string& text) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
}

tParseResult Parse(const std::vector<const char*>& args) {
    std::vector<char*> argv{const_cast<char*>("ostravel")};
    for (const char* a : args) {
        argv.push_back(const_cast<char*>(a));
    }
    return ParseOptions(static_cast<int>(argv.size()), argv.data());
}

} // namespace

TEST(Settings, ReadsThreeNumbersAndStopsAtTheFirstBadOne) {
    uint32_t w = 1, h = 2, c = 3;
    EXPECT_EQ(ReadSettings(WriteTemp("s1.ini", "800 600 32 99 extra").c_str(), &w, &h, &c), 3);
    EXPECT_EQ(w, 800u);
    EXPECT_EQ(h, 600u);
    EXPECT_EQ(c, 32u);

    // The largest value a setting can hold is read; one more is not.
    EXPECT_EQ(ReadSettings(WriteTemp("s3.ini", "4294967295 4294967296 32").c_str(), &w, &h, &c), 1);
    EXPECT_EQ(w, 4294967295u);

    w = h = c = 7;
    EXPECT_EQ(ReadSettings(WriteTemp("s2.ini", "1024\n\tx 16").c_str(), &w, &h, &c), 1);
    EXPECT_EQ(w, 1024u);
    EXPECT_EQ(h, 7u); // left for the caller's default
    EXPECT_EQ(c, 7u);

    EXPECT_EQ(ReadSettings(WriteTemp("s3.ini", "-640 480 32").c_str(), &w, &h, &c), 0);
    EXPECT_EQ(ReadSettings("/nonexistent/Setup.ini", &w, &h, &c), 0);
}

TEST(Settings, TheWindowTheGameAsksFor) {
    // What Data/Setup.ini gives, and the window start-up then asks for: a usable size and one of
    // the three colour depths, the defaults for anything else, each replacement said once.
    struct Case {
        const char* text;
        uint32_t width, height, bits;
        const char* message;
    };
    const Case cases[] = {
        {"1024 768 24", 1024, 768, 24, ""},
        {"640 480 16", 640, 480, 16, ""},
        {"16384 16384 32", 16384, 16384, 32, ""},
        {"16385 480 32", 800, 600, 32, "window 16385x480 is not usable; using 800x600\n"},
        {"640 16385 16", 800, 600, 16, "window 640x16385 is not usable; using 800x600\n"},
        {"0 480 24", 800, 600, 24, "window 0x480"},
        {"640 0 24", 800, 600, 24, "window 640x0"},
        {"640 480 15", 640, 480, 32, "colour depth 15 is not usable; using 32\n"},
        {"640 480 25", 640, 480, 32, "colour depth 25"},
        {"640 480 33", 640, 480, 32, "colour depth 33"},
        {"1024 768", 1024, 768, 32, "2 of 3 settings read; using 800x600x32 for the rest\n"},
        {"1024 x 16", 1024, 600, 32, "1 of 3 settings read"},
        {"", 800, 600, 32, "0 of 3"},
    };
    for (const Case& c : cases) {
        tScratchDir dir("settings");
        std::filesystem::create_directories("Data");
        std::ofstream("Data/Setup.ini") << c.text;
        ResetGameState();
        GameOptions = tOptions{};
        GameOptions.askFullScreen = false;
        GameOptions.fullScreen = false;
        ResetTestPlatform().failCreateWindow = true; // start-up stops before loading the world
        testing::internal::CaptureStderr();
        EXPECT_EQ(RunGame(), kExitCouldNotStart);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(WindowWidth, c.width) << c.text;
        EXPECT_EQ(WindowHeight, c.height) << c.text;
        EXPECT_EQ(ColorBits, c.bits) << c.text;
        if (c.message[0] == '\0') {
            EXPECT_EQ(said, "") << c.text;
        } else {
            EXPECT_NE(said.find(c.message), std::string::npos) << c.text << ": " << said;
        }
    }
    GameOptions = tOptions{};
    ResetGameState();
}

TEST(Options, ParsesTheCommandLineContract) {
    ASSERT_EQ(
        Parse({"--windowed", "--dialogs=stderr", "--frames", "30", "--fixed-step", "20",
               "--no-vsync", "--capture", "5:a.bmp", "--capture", "9:b.bmp", "--trace", "t.txt"}),
        kParseRun);
    EXPECT_FALSE(GameOptions.askFullScreen);
    EXPECT_FALSE(GameOptions.fullScreen);
    EXPECT_TRUE(GameOptions.dialogsToStderr);
    EXPECT_EQ(GameOptions.frameLimit, 30);
    EXPECT_EQ(GameOptions.fixedStepMs, 20u);
    EXPECT_TRUE(GameOptions.noVsync);
    ASSERT_EQ(GameOptions.captureCount, 2);
    EXPECT_EQ(GameOptions.captures[1].frame, 9u);
    EXPECT_STREQ(GameOptions.captures[1].path, "b.bmp");
    EXPECT_STREQ(GameOptions.tracePath, "t.txt");

    ASSERT_EQ(Parse({"--fullscreen"}), kParseRun);
    EXPECT_FALSE(GameOptions.askFullScreen);
    EXPECT_TRUE(GameOptions.fullScreen);
    EXPECT_FALSE(GameOptions.seedSet);
    ASSERT_EQ(Parse({"--record", "demo.txt", "--data", "/opt/game", "--seed", "4294967295"}),
              kParseRun);
    EXPECT_STREQ(GameOptions.recordPath, "demo.txt");
    EXPECT_STREQ(GameOptions.dataDir, "/opt/game");
    EXPECT_TRUE(GameOptions.seedSet);
    EXPECT_EQ(GameOptions.seed, 4294967295u);

    testing::internal::CaptureStderr();
    EXPECT_EQ(Parse({"--bogus"}), kParseExitUsage);
    EXPECT_EQ(Parse({"--frames"}), kParseExitUsage);
    EXPECT_EQ(Parse({"--frames", "-3"}), kParseExitUsage);
    EXPECT_EQ(Parse({"--capture", "x:y.bmp"}), kParseExitUsage);
    EXPECT_EQ(Parse({"--fixed-step", "0"}), kParseExitUsage);
    EXPECT_EQ(Parse({"--seed", "4294967296"}), kParseExitUsage);
    EXPECT_EQ(Parse({"--record"}), kParseExitUsage);
    // The limits of each number, and the forms of --capture.
    struct Limit {
        std::vector<const char*> args;
        tParseResult result;
    };
    const Limit limits[] = {
        {{"--fixed-step", "60000"}, kParseRun},
        {{"--fixed-step", "60001"}, kParseExitUsage},
        {{"--fixed-step", "1"}, kParseRun},
        {{"--fixed-step"}, kParseExitUsage},
        {{"--frames", "4294967295"}, kParseRun},
        {{"--frames", "4294967296"}, kParseExitUsage},
        {{"--frames", "0"}, kParseRun},
        {{"--frames", "12x"}, kParseExitUsage},
        {{"--capture", "000000000000005:a.bmp"}, kParseRun},
        {{"--capture", "0000000000000007:a.bmp"}, kParseExitUsage},
        {{"--capture", ":a.bmp"}, kParseExitUsage},
        {{"--capture", "5:"}, kParseExitUsage},
        {{"--capture", "5"}, kParseExitUsage},
        {{"--script"}, kParseExitUsage},
        {{"--script", ""}, kParseExitUsage},
        {{"--trace"}, kParseExitUsage},
        {{"--data"}, kParseExitUsage},
        {{"--data", ""}, kParseExitUsage},
    };
    for (const Limit& l : limits) {
        EXPECT_EQ(Parse(l.args), l.result)
            << l.args[0] << " " << (l.args.size() > 1 ? l.args[1] : "");
    }
    std::vector<const char*> captures;
    for (int k = 0; k < kMaxCaptures; ++k) {
        captures.insert(captures.end(), {"--capture", "1:c.bmp"});
    }
    EXPECT_EQ(Parse(captures), kParseRun);
    EXPECT_EQ(GameOptions.captureCount, kMaxCaptures);
    captures.insert(captures.end(), {"--capture", "1:c.bmp"});
    EXPECT_EQ(Parse(captures), kParseExitUsage) << "one capture too many";
    // A path is taken whole, and a later one replaces an earlier, longer one entirely.
    EXPECT_EQ(Parse({"--script", "route.txt", "--trace", "a-long-trace-name.txt", "--trace", "t"}),
              kParseRun);
    EXPECT_STREQ(GameOptions.scriptPath, "route.txt");
    EXPECT_STREQ(GameOptions.tracePath, "t");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Usage: ostravel"), std::string::npos);
    // The problem first, then what was given.
    EXPECT_NE(said.find("ostravel: --capture needs N:FILE: 5:\n"), std::string::npos);
    EXPECT_NE(said.find("ostravel: --data needs a directory: (missing)\n"), std::string::npos);

    testing::internal::CaptureStdout();
    EXPECT_EQ(Parse({"--help"}), kParseExitOk);
    EXPECT_EQ(Parse({"--version"}), kParseExitOk);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Escape"), std::string::npos);
}

TEST(InputScript, RejectsMalformedLinesWithTheirNumber) {
    char error[200];
    EXPECT_TRUE(ParseInputScript("# a comment\n0 key w down\n\n3 mouse -4 7 # turn\n3 click left\n"
                                 "5 resize 640 480\n9 key escape down\n9 close\n",
                                 error, sizeof(error)));
    uint32_t seed = 0;
    EXPECT_FALSE(InputScriptHasSteps());
    EXPECT_FALSE(InputScriptSeed(&seed));
    // A recording's own lines: the seed, frame steps, window moves.
    EXPECT_TRUE(
        ParseInputScript("seed 4000000000\n0 step 16\n0 move\n1 step 0\n", error, sizeof(error)));
    EXPECT_TRUE(InputScriptHasSteps());
    EXPECT_TRUE(InputScriptSeed(&seed));
    EXPECT_EQ(seed, 4000000000u);
    struct {
        const char* text;
        const char* expected;
    } const kBad[] = {
        {"0 key w down\nx key w up\n", "script line 2: "},
        {"1 key q down\n", "script line 1: unknown key"},
        {"1 key w sideways\n", "script line 1: "},
        {"1 mouse 3\n", "script line 1: mouse"},
        {"1 click middle\n", "script line 1: click"},
        {"1 resize 0 480\n", "script line 1: resize"},
        {"1 jump\n", "script line 1: unknown event"},
        {"1 step -5\n", "script line 1: step"},
        {"1 step\n", "script line 1: step"},
        {"1 move 3 4\n", "script line 1: move"},
        {"0 close\nseed\n", "script line 2: seed"},
        {"mouse_sensitivity 0\n", "script line 1: mouse_sensitivity"},
        {"invert_mouse maybe\n", "script line 1: invert_mouse"},
        {"5 close\n2 close\n", "script line 2: frames must not go backwards"},
    };
    for (const auto& bad : kBad) {
        EXPECT_FALSE(ParseInputScript(bad.text, error, sizeof(error))) << bad.text;
        EXPECT_EQ(std::string(error).rfind(bad.expected, 0), 0u) << error;
    }
    EXPECT_FALSE(LoadInputScript("/nonexistent/script.txt", error, sizeof(error)));
    ClearInputScript();
}

TEST(InputScript, NumbersReadTheSameWhateverTheWidthOfLong) {
    // Frame numbers and seeds run to 4294967295; nothing past 32 bits wraps into range.
    struct {
        const char* text;
        bool accepted;
    } const kCases[] = {
        {"4294967295 close\n", true},
        {"4294967296 close\n", false},
        {"18446744073709551617 close\n", false},
        {"-1 close\n", false},
        {"seed 4294967295\n", true},
        {"seed 4294967296\n", false},
        {"seed -4294967295\n", false},
        {"0 mouse -100000 100000\n", true},
        {"0 mouse -100001 0\n", false},
        {"0 mouse 0 4294967296\n", false},
        {"0 step 60000\n", true},
        {"0 step 4295027296\n", false},
        {"0 resize 16384 1\n", true},
        {"0 resize 4294983680 1\n", false},
    };
    char error[200];
    for (const auto& c : kCases) {
        EXPECT_EQ(ParseInputScript(c.text, error, sizeof(error)), c.accepted) << c.text;
    }
    uint32_t seed = 0;
    ASSERT_TRUE(ParseInputScript("seed 4294967295\n", error, sizeof(error)));
    EXPECT_TRUE(InputScriptSeed(&seed));
    EXPECT_EQ(seed, 4294967295u);
    ClearInputScript();
}
