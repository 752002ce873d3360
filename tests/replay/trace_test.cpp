// The --trace file written by the main loop, one line per frame.
#include "replay/capture.h"
#include "replay/trace.h"
#include "app/startup.h"
#include "state/options.h"
#include "tests/world/test_world.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

void RunFrames(int frames) {
    int exitCode = 0;
    for (int i = 0; i < frames; ++i) {
        TestAdvanceClock(20);
        ASSERT_TRUE(MainLoopPass(&exitCode));
    }
}

} // namespace

TEST(Trace, MainLoopAppendsOneLinePerFrame) {
    ResetSmallWorld();
    GameOptions = tOptions{};
    CurrentFrame = 0;
    const std::string path = testing::TempDir() + "trace_test.txt";
    std::remove(path.c_str());

    // Without the option nothing is written.
    RunFrames(1);
    EXPECT_TRUE(ReadLines(path).empty());

    ResetSmallWorld();
    CurrentFrame = 0;
    std::snprintf(GameOptions.tracePath, sizeof(GameOptions.tracePath), "%s", path.c_str());
    SetIdRanges(2, 0);
    PlaceEnemy(0, {0.0f, 25.0f, 300.0f}); // wakes and walks after the player
    PlaceEnemy(1, {900.0f, 25.0f, 0.0f}); // too far: sleeps
    TestPlatformState().keys[kKeyW] = true;
    SeedFireDraws({false, false, false});
    RunFrames(3);
    CloseTrace();

    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 3u);
    // The first frame measures no interval, so nobody moves yet.
    EXPECT_EQ(lines[0], "frame=0 clock_ms=20 pos=0.00,50.00,0.00 view=0.00,50.00,1.00 "
                        "health=100 letters=0 fps=50 "
                        "enemies=0:1:100:0.00,300.00;1:0:100:900.00,0.00");
    // Then 20 ms frames: the player walks 2 units a frame, the enemy a hundredth of its
    // offset to the player.
    EXPECT_EQ(lines[1].rfind("frame=1 clock_ms=40 pos=0.00,50.46,2.00 view=0.00,50.46,3.00 ", 0),
              0u)
        << lines[1];
    EXPECT_NE(lines[1].find(" enemies=0:1:100:0.00,297.02;1:0:100:900.00,0.00"), std::string::npos)
        << lines[1];
    EXPECT_EQ(lines[2].rfind("frame=2 clock_ms=60 ", 0), 0u) << lines[2];

    // A second run appends to the same file.
    RunFrames(1);
    CloseTrace();
    EXPECT_EQ(ReadLines(path).size(), 4u);
    GameOptions = tOptions{};
    std::remove(path.c_str());
}
