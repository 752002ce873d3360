// The frame stages allocate nothing once the level is loaded: the generated level, every enemy
// awake and walking, the player walking, turning and shooting (blood and the red tint included),
// counted by the game's own operator new hook around MainLoopPass frames.
#include "app/display.h"
#include "replay/stats.h"
#include "app/startup.h"
#include "state/game_state.h"
#include "state/options.h"
#include "camera/camera.h"
#include "platform/gl_api.h"
#include "platform/platform.h"
#include "platform/platform_test.h"
#include "sound/sound_effect.h"
#include "terrain/height_map.h"
#include "tests/render/offscreen_gl.h"
#include "world/load_world.h"
#include "world/movement.h"
#include "objects/scene_objects.h"

#include "tests/missing_tool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

// Sanitizer builds keep their own allocator, which the counting hook cannot see: these tests
// belong to the other builds only (and there the hook must count).
#ifndef OSTRAVEL_SANITIZED

namespace {

// The test backend records every title in a list (an allocation of its own each frame); this
// copy of it keeps only the latest, in a fixed buffer, so that only the game is counted.
char LastTitle[256];
void KeepLastTitle(const char* title) {
    std::snprintf(LastTitle, sizeof(LastTitle), "%s", title);
}

// Whether operator new passes the counting hook (switched on, as --stats does).
bool AllocationHookCounts() {
    EnableStats();
    const uint64_t before = AllocationCount();
    auto probe = std::make_unique<int[]>(static_cast<size_t>(before % 7 + 3));
    // The pointer escapes, so the allocation cannot be elided.
    asm volatile("" : : "r"(probe.get()) : "memory");
    return AllocationCount() != before;
}

int PassFrames(int frames) {
    int exitCode = 0;
    const uint32_t start = FramesDrawn;
    while (FramesDrawn - start < static_cast<uint32_t>(frames)) {
        // One simulated frame of 16 ms; the player never dies, so no box ends the run.
        TestAdvanceClock(16);
        PlayerHealth = 100;
        if (!MainLoopPass(&exitCode)) {
            return -1;
        }
    }
    return static_cast<int>(FramesDrawn - start);
}

} // namespace

TEST(FrameAllocations, NoneAfterLoadingWithTheWholeLevelAwake) {
    ASSERT_TRUE(AllocationHookCounts()) << "the allocator does not pass the counting hook";
    if (!std::filesystem::exists("Data/Levels/Level01.olv")) {
        SKIP_OR_FAIL_MISSING("no generated Data/ in the working directory", "the gamedata target");
    }
    ResetGameState();
    GameOptions = tOptions{};
    ResetTestPlatform();
    ShutdownSound();
    static tPlatformBackend backend = *TestPlatform();
    backend.setWindowTitle = KeepLastTitle;
    SelectPlatform(&backend);
    tTestPlatformState& state = TestPlatformState();
    state.boxes.reserve(16);
    state.events.reserve(64);

    WindowWidth = 800;
    WindowHeight = 600;
    ASSERT_TRUE(CreateMainWindow("Ostravel", WindowWidth, WindowHeight, false, 32, 32));
    MainWindow = true;
    CreateGLContext(static_cast<int>(WindowWidth), static_cast<int>(WindowHeight));
    LoadWorld();
    ASSERT_GT(EnemyEnd, 0u);
    ASSERT_TRUE(state.boxes.empty()) << state.boxes[0].caption << ": " << state.boxes[0].text;

    // Every enemy within reach: the player stands among them (their middle), and each one is
    // placed a short walk away so that it wakes, turns and walks.
    tVec3 middle{0.0f, 0.0f, 0.0f};
    for (uint32_t id = FirstId; id < EnemyEnd; ++id) {
        middle = middle + GetPosition(static_cast<int>(id));
    }
    middle = middle * (1.0f / static_cast<float>(EnemyEnd - FirstId));
    const float eye = TerrainHeight(HeightMap, middle.x, middle.z) + kEyeAboveGround;
    Camera.Place(middle.x, eye, middle.z, middle.x, eye, middle.z + 1.0f, 0.0f, 1.0f, 0.0f);
    for (uint32_t id = FirstId; id < EnemyEnd; ++id) {
        const float angle = 0.6f * static_cast<float>(id);
        SetPosition(static_cast<int>(id),
                    middle + tVec3(300.0f * std::cos(angle), 0.0f, 300.0f * std::sin(angle)));
    }
    state.cursorX = 400;
    state.cursorY = 300;

    // Warm-up: the first frames start what runs once (the animation clocks, the first blend).
    ASSERT_EQ(PassFrames(5), 5);
    int awake = 0;
    for (uint32_t id = FirstId; id < EnemyEnd; ++id) {
        awake += GetState(static_cast<int>(id)) == kStateAwake ? 1 : 0;
    }
    EXPECT_EQ(awake, static_cast<int>(EnemyEnd - FirstId));

    const uint64_t before = AllocationCount();
    // Walking, turning and shooting, for 10 simulated seconds.
    state.keys[kKeyW] = true;
    bool firedOn = false;
    for (int round = 0; round < 40; ++round) {
        // Aimed at the enemies in turn, the shot fired before the next update turns the view.
        const tVec3 eyeAt = Camera.Position();
        const tVec3 target = GetPosition(static_cast<int>(FirstId + round % (EnemyEnd - FirstId)));
        Camera.Place(eyeAt.x, eyeAt.y, eyeAt.z, target.x, target.y, target.z, 0.0f, 1.0f, 0.0f);
        state.cursorX = 400 + (round % 2 == 0 ? 40 : -25);
        tEvent click{};
        click.kind = kEventLeftButton;
        TestPushEvent(click);
        ASSERT_EQ(PassFrames(15), 15);
        firedOn = firedOn || RedTintFrames > 0;
    }
    state.keys[kKeyW] = false;
    const uint64_t made = AllocationCount() - before;
    int wounded = 0;
    for (uint32_t id = FirstId; id < EnemyEnd; ++id) {
        wounded += GetHealth(static_cast<int>(id)) < 100 ? 1 : 0;
    }
    EXPECT_GT(wounded, 0) << "no shot hit: the blood burst was never drawn";
    EXPECT_TRUE(firedOn) << "no enemy fired: the red tint was never drawn";
    EXPECT_EQ(made, 0u) << "heap allocations in 600 frames after loading";
    EXPECT_GT(state.swaps, 600);
    ShutDown(0);
}

// allocs_per_frame counts the game's allocations inside the frame stages and leaves out the GL
// driver's (llvmpipe compiles a shader with LLVM the first time it meets a drawing state).
TEST(FrameAllocations, StatsCountTheGamesOwnAndNotTheDrivers) {
    ASSERT_TRUE(AllocationHookCounts()) << "the allocator does not pass the counting hook";
    uint64_t game = GameFrameAllocationCount();
    auto outside = std::make_unique<int[]>(static_cast<size_t>(game % 5 + 2));
    asm volatile("" : : "r"(outside.get()) : "memory");
    EXPECT_EQ(GameFrameAllocationCount(), game) << "outside a frame nothing is looked at";
    StatsFrameBegin();
    auto inside = std::make_unique<int[]>(static_cast<size_t>(game % 5 + 2));
    asm volatile("" : : "r"(inside.get()) : "memory");
    std::string grown = "a string too long for its own small buffer";
    grown += grown;
    StatsFrameEnd();
    EXPECT_GE(GameFrameAllocationCount(), game + 2) << "the game's own allocations count";

    tContextCloser closer;
    ASSERT_TRUE(OpenSdlContext(64, 64)) << "no offscreen video";
    // A drawing state no other test uses, so the driver has something new to compile.
    game = GameFrameAllocationCount();
    const uint64_t total = AllocationCount();
    StatsFrameBegin();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_DST_ALPHA, GL_SRC_ALPHA_SATURATE);
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glBegin(GL_TRIANGLES);
    glColor3f(0.3f, 0.6f, 0.9f);
    glVertex3f(-1.0f, -1.0f, -1.5f);
    glVertex3f(1.0f, -1.0f, -1.5f);
    glVertex3f(0.0f, 1.0f, -1.5f);
    glEnd();
    glFinish();
    StatsFrameEnd();
    EXPECT_EQ(GameFrameAllocationCount(), game) << "the driver's allocations were counted";
    std::printf("driver allocations while drawing: %llu\n",
                static_cast<unsigned long long>(AllocationCount() - total));
}

#endif // OSTRAVEL_SANITIZED
