// The hot logic of a frame on the generated level, timed without a display: the test backend
// stands in for the window system, and with no GL context the drawing calls cost only their
// dispatch. Run from the build directory (it reads Data/ there):
//
//   cd build && ./ostravel_bench
#include "app/display.h"
#include "state/game_state.h"
#include "state/options.h"
#include "camera/camera.h"
#include "platform/platform.h"
#include "platform/platform_test.h"
#include "terrain/blood.h"
#include "terrain/height_map.h"
#include "world/load_world.h"
#include "world/movement.h"
#include "objects/scene_objects.h"
#include "world/shooting.h"
#include "world/world_rules.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

// The backend records every title in a list; the benchmark keeps none.
void IgnoreTitle(const char*) {}

tVec3 EnemyMiddle;
tVec3 EnemyStart[kMaxSceneObjects];

// The player amid the enemies, each of them 300 units away on a circle: inside the wake radius
// and beyond the close range, so every one wakes, turns and walks.
void PlaceAmidEnemies() {
    const float eye = TerrainHeight(HeightMap, EnemyMiddle.x, EnemyMiddle.z) + kEyeAboveGround;
    Camera.Place(EnemyMiddle.x, eye, EnemyMiddle.z, EnemyMiddle.x, eye, EnemyMiddle.z + 1.0f, 0.0f,
                 1.0f, 0.0f);
    for (uint32_t id = FirstId; id < EnemyEnd; ++id) {
        SetPosition(static_cast<int>(id), EnemyStart[id]);
        SetHealth(static_cast<int>(id), 100);
        SetState(static_cast<int>(id), kStateAwake);
        SetAnimation(static_cast<int>(id), kAnimRun);
    }
    TestPlatformState().cursorX = 400;
    TestPlatformState().cursorY = 300;
}

// As above, the view turned onto the first enemy's origin: a shot from here hits it.
void AimAtFirstEnemy() {
    PlaceAmidEnemies();
    const tVec3 eye = Camera.Position();
    const tVec3 target = GetPosition(static_cast<int>(FirstId));
    Camera.Place(eye.x, eye.y, eye.z, target.x, target.y, target.z, 0.0f, 1.0f, 0.0f);
}

bool LoadLevel() {
    if (!std::filesystem::exists("Data/Levels/Level01.olv")) {
        std::fprintf(stderr, "ostravel_bench: run it in the build directory (no Data/ here)\n");
        return false;
    }
    ResetGameState();
    GameOptions = tOptions{};
    ResetTestPlatform();
    static tPlatformBackend backend = *TestPlatform();
    backend.setWindowTitle = IgnoreTitle;
    SelectPlatform(&backend);
    WindowWidth = 800;
    WindowHeight = 600;
    if (!CreateMainWindow("Ostravel", WindowWidth, WindowHeight, false, 32, 32)) {
        return false;
    }
    MainWindow = true;
    CreateGLContext(static_cast<int>(WindowWidth), static_cast<int>(WindowHeight));
    LoadWorld();
    if (EnemyEnd <= FirstId) {
        std::fprintf(stderr, "ostravel_bench: the level has no enemies\n");
        return false;
    }
    tVec3 sum{0.0f, 0.0f, 0.0f};
    for (uint32_t id = FirstId; id < EnemyEnd; ++id) {
        sum = sum + GetPosition(static_cast<int>(id));
    }
    EnemyMiddle = sum * (1.0f / static_cast<float>(EnemyEnd - FirstId));
    for (uint32_t id = FirstId; id < EnemyEnd; ++id) {
        const float angle = 0.6f * static_cast<float>(id);
        tVec3 p = EnemyMiddle + tVec3(300.0f * std::cos(angle), 0.0f, 300.0f * std::sin(angle));
        p.y = TerrainHeight(HeightMap, p.x, p.z) + kEnemyHover;
        EnemyStart[id] = p;
    }
    return true;
}

// One frame's world update, every enemy awake and walking from its start toward the player
// (put back each time, so that none ever arrives), with the player walking forward.
void BM_UpdateWorldAllAwake(benchmark::State& state) {
    PlaceAmidEnemies();
    TestPlatformState().keys[kKeyW] = true;
    for (auto _ : state) {
        for (uint32_t id = FirstId; id < EnemyEnd; ++id) {
            SetPosition(static_cast<int>(id), EnemyStart[id]);
        }
        PlayerHealth = 100;
        TestAdvanceClock(16);
        UpdateWorld();
    }
    TestPlatformState().keys[kKeyW] = false;
    int awake = 0;
    for (uint32_t id = FirstId; id < EnemyEnd; ++id) {
        awake += GetState(static_cast<int>(id)) == kStateAwake ? 1 : 0;
    }
    state.counters["awake"] = awake;
}
BENCHMARK(BM_UpdateWorldAllAwake);

// The ground height under points spread over the playing field.
void BM_TerrainHeight(benchmark::State& state) {
    float x = kFieldMinX;
    float z = kFieldMinZ;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TerrainHeight(HeightMap, x, z));
        x = x > kFieldMaxX ? kFieldMinX : x + 13.7f;
        z = z > kFieldMaxZ ? kFieldMinZ : z + 7.3f;
    }
}
BENCHMARK(BM_TerrainHeight);

// The player's step with its collision test against every object (a step forward and, where
// blocked, back again), alternately forward and backward so that the player stays put.
void BM_PlayerStepWithCollision(benchmark::State& state) {
    PlaceAmidEnemies();
    float step = 1.6f;
    for (auto _ : state) {
        Walk(Camera, step);
        step = -step;
        benchmark::DoNotOptimize(Camera.vPosition);
    }
}
BENCHMARK(BM_PlayerStepWithCollision);

// One shot at the nearest enemy straight ahead (it always hits, so the blood burst starts too).
void BM_FireShot(benchmark::State& state) {
    AimAtFirstEnemy();
    for (auto _ : state) {
        SetHealth(static_cast<int>(FirstId), 100);
        FireShot();
    }
    state.counters["hit"] = GetHealth(static_cast<int>(FirstId)) < 100 ? 1 : 0;
}
BENCHMARK(BM_FireShot);

// The hit test of one enemy against the view line (aimed at it: the full test runs).
void BM_HitTestObject(benchmark::State& state) {
    AimAtFirstEnemy();
    tVec3 hit;
    for (auto _ : state) {
        benchmark::DoNotOptimize(HitTestObject(static_cast<int>(FirstId), Camera, hit));
    }
}
BENCHMARK(BM_HitTestObject);

// One frame of the blood burst: every particle advanced (and its quad sent, to no context).
void BM_BloodParticles(benchmark::State& state) {
    const tVec3 origin = GetPosition(static_cast<int>(FirstId));
    EmitBlood(10, 20, 0.15f, false, 50, 1, origin);
    for (auto _ : state) {
        if (!DrawBlood(false, 10.0f, 30.0f)) {
            EmitBlood(10, 20, 0.15f, false, 50, 1, origin);
        }
    }
}
BENCHMARK(BM_BloodParticles);

} // namespace

int main(int argc, char** argv) {
    // No window and no sound device: the test backend, and SDL's dummy audio for the shot.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    if (!LoadLevel()) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
