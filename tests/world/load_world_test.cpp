// The world loading sequence through the test backend (order, loading screen, camera, level,
// the per-level reset) and on a real hidden GL context (light and fog).
#include "world/load_world.h"

#include "app/display.h"
#include "replay/capture.h"
#include "state/game_state.h"
#include "state/options.h"
#include "camera/camera.h"
#include "basics/frame_timer.h"
#include "models/md2_loader.h"
#include "models/model_draw.h"
#include "platform/gl_api.h"
#include "platform/platform_test.h"
#include "render/bmp_reader.h"
#include "render/textures.h"
#include "sound/sound_effect.h"
#include "terrain/height_map.h"
#include "terrain/sky_box.h"
#include "tests/models/md2_test_files.h"
#include "tests/render/offscreen_gl.h"
#include "tests/sound/wav_test_file.h"
#include "world/movement.h"
#include "objects/scene_objects.h"
#include "world/world_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <optional>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace fs = std::filesystem;

namespace {

size_t IndexOf(const std::vector<std::string>& calls, const std::string& name) {
    return static_cast<size_t>(std::find(calls.begin(), calls.end(), name) - calls.begin());
}

// A data directory holding only a level with one letter and its model: no height map, no
// textures, no font and no sound, whose loaders must all leave loading going.
class LoadWorldTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetGameState();
        ResetTestPlatform();
        // A sound left running by an earlier test would make loading's own start fail.
        ShutdownSound();
        dir_ = std::make_unique<tScratchDir>("world");
        fs::create_directories("Data/Levels");
        fs::create_directories("Data/Models");
        fs::create_directories("Data/Sounds");
        // A valid sound, so that a real sound module starts: 100 samples of silence.
        WriteFile("Data/Sounds/Shot.wav", MakeWav(100, 0));
        WriteFile("Data/Models/letter.md2", WriteMd2(tTestMd2{}));
        std::ofstream("Data/Levels/Level01.olv")
            << "0 1 1 0\n0 NULL letter.md2 NULL 0 NULL NULL 10 5 20 0 1 1\n";
        std::memset(HeightMap, 0, sizeof(HeightMap));
        WindowWidth = 800;
        WindowHeight = 600;
        ColorBits = 32;
        MainWindow = true;
    }
    void TearDown() override {
        ClearSceneObjects();
        dir_.reset();
        ResetGameState();
    }
    std::unique_ptr<tScratchDir> dir_;
};

} // namespace

TEST(LoadingScreen, TextPosition) {
    int x = 0, y = 0;
    LoadingTextPosition(800, 600, &x, &y);
    EXPECT_EQ(x, 272);
    EXPECT_EQ(y, 150);
    LoadingTextPosition(1025, 767, &x, &y); // integer halves and quarters
    EXPECT_EQ(x, 384);
    EXPECT_EQ(y, 191);
    EXPECT_STREQ(kLoadingText, "Loading, please wait ...");
}

TEST_F(LoadWorldTest, OrderCameraLevelAndReset) {
    // Values a previous level left behind.
    PlayerHealth = 5;
    LettersCollected = 3;
    BloodActive = true;
    LetterSpin = 40.0f;
    SetHealth(7, 50);
    SetCollidable(7, true);

    for (int pass = 0; pass < 2; ++pass) {
        // A level played for a while: the view pitched, the head bobbing, the clouds drifted and
        // the world's clock running (its last update 5 s before the next level's first).
        PitchTotal = PitchTotalBefore = 0.7f;
        BobPhase = 123.0f;
        RedTintFrames = 30;
        ShotTarget = 4;
        HitPoint = {1.0f, 2.0f, 3.0f};
        LetterWord[0] = 'X';
        CloudOffset1 = 4.0f;
        CloudOffset2 = 2.0f;
        TestPlatformState().timeMs = 1000;
        UpdateWorld();
        TestPlatformState().timeMs = 6000;
        TestPlatformState().calls.clear();
        TestPlatformState().swaps = 0;
        ShutdownSound(); // as when the game starts again
        CreateGLContext(static_cast<int>(WindowWidth), static_cast<int>(WindowHeight));
        EXPECT_TRUE(LoadWorld());
        const std::vector<std::string>& calls = TestPlatformState().calls;
        EXPECT_LT(IndexOf(calls, "createContext"), IndexOf(calls, "hideCursor"));
        EXPECT_LT(IndexOf(calls, "hideCursor"), calls.size());
        EXPECT_FALSE(TestPlatformState().cursorVisible);
        EXPECT_EQ(TestPlatformState().swaps, 1) << "the loading screen is shown once";
        EXPECT_FALSE(QuitRequested());

        // No height map: the ground is at 0 and the eye 50 above it, looking along +z.
        EXPECT_EQ(Camera.vPosition, tVec3(0.0f, 50.0f, 0.0f));
        EXPECT_EQ(Camera.vView, tVec3(0.0f, 50.0f, 1.0f));
        EXPECT_EQ(Camera.vUpVector, tVec3(0.0f, 1.0f, 0.0f));

        EXPECT_EQ(LetterCount, 1u);
        EXPECT_EQ(TransparentEnd, 1u);
        EXPECT_EQ(SceneObjects[0].model.numFrames, 1);
        EXPECT_EQ(GetPosition(0), tVec3(10.0f, 5.0f, 20.0f));
        EXPECT_TRUE(SceneObjects[0].writesDepth);

        EXPECT_EQ(PlayerHealth, 100);
        EXPECT_EQ(LettersCollected, 0u);
        EXPECT_FALSE(BloodActive);
        EXPECT_EQ(LetterSpin, 0.0f);
        EXPECT_EQ(GetHealth(7), 0);
        EXPECT_FALSE(IsCollidable(7));
        EXPECT_EQ(WindowWidth, 800u);

        // Nothing of the level before leaks into the view: no pitch, no bob, clouds from their
        // start, and the world's first update measures no time, so nothing jumps.
        EXPECT_EQ(RedTintFrames, 0);
        EXPECT_EQ(ShotTarget, 0);
        EXPECT_EQ(HitPoint, tVec3(0.0f, 0.0f, 0.0f));
        EXPECT_STREQ(LetterWord, "KWERT");
        EXPECT_EQ(PitchTotal, 0.0f);
        EXPECT_EQ(PitchTotalBefore, 0.0f);
        EXPECT_EQ(BobPhase, 0.0f);
        EXPECT_EQ(CloudOffset1, 0.0f);
        EXPECT_EQ(CloudOffset2, 0.0f);
        EXPECT_EQ(FramesPerSecond(), 50.0f) << "the last level's frame rate paces the clouds";
        EXPECT_EQ(FrameInterval, 0.0f);
        UpdateWorld();
        EXPECT_EQ(WorldFrameInterval, 0.0f) << "pass " << pass;
    }
    // The level and its model loaded without complaint (the other loaders may miss their files).
    for (const tRecordedBox& box : TestPlatformState().boxes) {
        EXPECT_EQ(box.text.find("level"), std::string::npos) << box.text;
        EXPECT_EQ(box.text.find(".md2"), std::string::npos) << box.text;
    }
}

TEST_F(LoadWorldTest, AnimationsCountFromTheLoad) {
    // An animated letter, loaded at tick 9000: 25 ms later it is a fifth of the way to its
    // second key frame, not past it.
    tTestMd2 spinning;
    spinning.frames = {"spin1", "spin2", "spin3"};
    WriteFile("Data/Models/letter.md2", WriteMd2(spinning));
    std::ofstream("Data/Levels/Level01.olv")
        << "0 1 1 0\n0 NULL letter.md2 NULL 1 0 NULL NULL 10 5 20 0 1 1\n";
    TestPlatformState().tickCount = 9000;
    CreateGLContext(static_cast<int>(WindowWidth), static_cast<int>(WindowHeight));
    LoadWorld();
    tAnimationStep step{};
    ASSERT_TRUE(StepAnimation(0, 9025, &step));
    EXPECT_EQ(step.from, 0);
    EXPECT_EQ(step.to, 1);
    EXPECT_FLOAT_EQ(step.blend, 0.2f);
}

TEST_F(LoadWorldTest, TheEyeAndTheLevelStandOnTheLoadedGround) {
    // Ground rising along both x and z, steep enough that one unit aside is another height.
    fs::create_directories("Data/Terrains");
    std::vector<char> raw(kHeightMapBytes);
    for (int i = 0; i < kHeightMapBytes; ++i) {
        raw[static_cast<size_t>(i)] =
            static_cast<char>((i % kHeightMapSide) * 7 % 256 + (i / kHeightMapSide) % 3);
    }
    std::ofstream("Data/Terrains/Terrain.raw", std::ios::binary).write(raw.data(), kHeightMapBytes);
    CreateGLContext(static_cast<int>(WindowWidth), static_cast<int>(WindowHeight));
    LoadWorld();
    const float ground = TerrainHeight(HeightMap, 0.0f, 0.0f);
    ASSERT_NE(ground, TerrainHeight(HeightMap, -1.0f, 0.0f));
    ASSERT_NE(ground, TerrainHeight(HeightMap, 0.0f, -1.0f));
    EXPECT_EQ(Camera.vPosition, tVec3(0.0f, ground + 50.0f, 0.0f));
    EXPECT_EQ(Camera.vView, tVec3(0.0f, ground + 50.0f, 1.0f));
    // The level's letter: 5 above the ground under (10, 20).
    EXPECT_EQ(GetPosition(0), tVec3(10.0f, TerrainHeight(HeightMap, 10.0f, 20.0f) + 5.0f, 20.0f));
}

TEST_F(LoadWorldTest, MissingLevelIsReportedAndTheWorldIsEmpty) {
    fs::remove("Data/Levels/Level01.olv");
    CreateGLContext(static_cast<int>(WindowWidth), static_cast<int>(WindowHeight));
    LoadWorld();
    const auto& boxes = TestPlatformState().boxes;
    EXPECT_NE(std::find_if(boxes.begin(), boxes.end(),
                           [](const tRecordedBox& box) {
                               return box.text ==
                                      "Unable to find the level file: Data/Levels/Level01.olv!";
                           }),
              boxes.end());
    EXPECT_EQ(TransparentEnd, 0u);
    EXPECT_EQ(SceneObjects[0].model.numFrames, 0);
}

TEST_F(LoadWorldTest, NoSoundFailsLoadingAfterEverythingElse) {
    fs::remove("Data/Sounds/Shot.wav");
    CreateGLContext(static_cast<int>(WindowWidth), static_cast<int>(WindowHeight));
    EXPECT_FALSE(LoadWorld());
    EXPECT_EQ(SceneObjects[0].model.numFrames, 1); // the level loaded before the sound
    ShutdownSound();
}

TEST_F(LoadWorldTest, LightFogAndFixedTexturesOnARealContext) {
    // Each picture of the sky, the terrain, the blood and the crosshair a grey of its own, to be
    // found in the texture slot the drawing code reads it from.
    const struct {
        const char* file;
        int slot;
    } pictures[] = {
        {"Data/Skies/SkyBox01/Back.bmp", kTexSkyBack},
        {"Data/Skies/SkyBox01/Front.bmp", kTexSkyFront},
        {"Data/Skies/SkyBox01/Bottom.bmp", kTexSkyBottom},
        {"Data/Skies/SkyBox01/Top.bmp", kTexSkyTop},
        {"Data/Skies/SkyBox01/Left.bmp", kTexSkyLeft},
        {"Data/Skies/SkyBox01/Right.bmp", kTexSkyRight},
        {"Data/Skies/SkyBox01/Cloud.bmp", kTexClouds},
        {"Data/Blood.bmp", kTexBlood},
        {"Data/cursor_mask.bmp", kTexCursorMask},
        {"Data/cursor.bmp", kTexCursor},
        {"Data/Terrains/Terrain.bmp", kTexTerrain},
        {"Data/Terrains/Detail.bmp", kTexDetail},
    };
    fs::create_directories("Data/Skies/SkyBox01");
    fs::create_directories("Data/Terrains");
    for (size_t i = 0; i < std::size(pictures); ++i) {
        // 2 x 2 pixels, 24 bits, rows padded to 8 bytes.
        std::vector<uint8_t> bmp(54 + 16, static_cast<uint8_t>(20 * (i + 1)));
        const uint8_t header[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0,  0,
                                  2,   0,   0,  0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0,  0, 16, 0};
        std::fill(bmp.begin(), bmp.begin() + 54, 0);
        std::copy(std::begin(header), std::end(header), bmp.begin());
        WriteFile(pictures[i].file, bmp);
    }
    SelectPlatform(ReplayPlatform(SdlPlatform())); // the replay tools take the capture
    SetDialogsToStderr(true);                      // the missing files' boxes go to standard error
    {
#if defined(__SANITIZE_ADDRESS__)
        // Mesa's driver keeps a few allocations from its start for good; the game's own
        // loading is checked for leaks by the tests on the test backend.
        __lsan::ScopedDisabler mesaKeepsItsStartUp;
#endif
        ASSERT_TRUE(CreateMainWindow("Ostravel", 320, 240, false, 32, 32)) << "no offscreen video";
        WindowWidth = 320;
        WindowHeight = 240;
        // The loading screen is swapped like any frame, so capture 0 keeps it.
        GameOptions.captureCount = 1;
        GameOptions.captures[0] = {0, "loading.bmp"};
        CurrentFrame = 0;
        CreateGLContext(static_cast<int>(WindowWidth), static_cast<int>(WindowHeight));
        LoadWorld();
        GameOptions = tOptions{};
    }
    ASSERT_TRUE(GLContext);
    // With no font file the glyphs are plain squares, white on black, 16 pixels high from
    // (320 / 2 - 128, 240 / 4) = (32, 60) and 10 pixels apart.
    const std::optional<tImage> shot = LoadBmpImage("loading.bmp");
    ASSERT_TRUE(shot);
    const auto pixel = [&shot](int x, int y) {
        const size_t at = (static_cast<size_t>(y) * 320 + static_cast<size_t>(x)) * 3;
        return std::vector<uint8_t>(shot->pixels.begin() + static_cast<long>(at),
                                    shot->pixels.begin() + static_cast<long>(at) + 3);
    };
    const std::vector<uint8_t> white = {255, 255, 255}, black = {0, 0, 0};
    EXPECT_EQ(pixel(40, 68), white);
    EXPECT_EQ(pixel(250, 68), white);
    EXPECT_EQ(pixel(28, 68), black);
    EXPECT_EQ(pixel(40, 56), black);
    EXPECT_EQ(pixel(40, 79), black);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    GLfloat ambient[4] = {};
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    for (const GLfloat c : ambient) {
        EXPECT_EQ(c, 1.0f);
    }
    GLint mode = 0, hint = 0;
    glGetIntegerv(GL_FOG_MODE, &mode);
    glGetIntegerv(GL_FOG_HINT, &hint);
    EXPECT_EQ(mode, GL_EXP2);
    EXPECT_EQ(hint, GL_DONT_CARE);
    GLfloat color[4] = {}, density = 0.0f, start = 0.0f, end = 0.0f;
    glGetFloatv(GL_FOG_COLOR, color);
    glGetFloatv(GL_FOG_DENSITY, &density);
    glGetFloatv(GL_FOG_START, &start);
    glGetFloatv(GL_FOG_END, &end);
    EXPECT_NEAR(color[0], 0.820312f, 1e-5);
    EXPECT_NEAR(color[1], 0.703125f, 1e-5);
    EXPECT_NEAR(color[2], 0.546875f, 1e-5);
    EXPECT_NEAR(color[3], 1.0f, 1e-6);
    EXPECT_FLOAT_EQ(density, 0.0005f);
    EXPECT_EQ(start, 7500.0f);
    EXPECT_EQ(end, 12500.0f);
    EXPECT_FALSE(glIsEnabled(GL_FOG)); // the drawing code switches it
    for (size_t i = 0; i < std::size(pictures); ++i) {
        uint8_t texels[2 * 2 * 3] = {};
        glBindTexture(GL_TEXTURE_2D, TextureTable[pictures[i].slot]);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
        EXPECT_EQ(texels[0], 20 * (i + 1)) << pictures[i].file;
    }
    CloseSdlContext();
    SetDialogsToStderr(false);
}
