// Skipping what the view cannot show: boxes against a known view, and views of the generated
// level drawn by the game's own stages with and without skipping, which must agree in every
// pixel and in all the state they leave to what is drawn next.
#include "render/view_cull.h"

#include "app/display.h"
#include "camera/camera.h"
#include "models/md2_loader.h"
#include "models/model_draw.h"
#include "platform/platform.h"
#include "sound/sound_effect.h"
#include "terrain/height_map.h"
#include "terrain/sky_box.h"
#include "terrain/terrain_draw.h"
#include "tests/render/offscreen_gl.h"
#include "world/load_world.h"
#include "objects/scene_objects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

TEST(ViewCull, BoxesAgainstAView) {
    tContextCloser closer;
    ASSERT_TRUE(OpenOffscreenGL(64, 64)) << "no offscreen video";
    // A 90 degree view from the origin along -z: at depth d it spans -d ... d both ways.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1.0, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    LoadViewClip();
    struct Case {
        tVec3 low, high;
        bool outside;
        const char* what;
    };
    const Case cases[] = {
        {{-1, -1, -11}, {1, 1, -9}, false, "straight ahead"},
        {{-1, -1, 5}, {1, 1, 9}, true, "behind the eye"},
        {{-1, -1, -0.9f}, {1, 1, -0.5f}, true, "between the eye and the near plane"},
        {{-1, -1, -2000}, {1, 1, -1500}, true, "beyond the far plane"},
        {{-30, -1, -11}, {-12, 1, -9}, true, "left"},
        {{12, -1, -11}, {30, 1, -9}, true, "right"},
        {{-1, -30, -11}, {1, -12, -9}, true, "below"},
        {{-1, 12, -11}, {1, 30, -9}, true, "above"},
        {{-30, -1, -10}, {-10, 1, -10}, false, "touching the left edge"},
        {{-1, 10, -10}, {1, 30, -10}, false, "touching the top edge"},
        {{-30, -1, -11}, {30, 1, -9}, false, "across the view, left to right"},
        {{-1, -30, -11}, {1, 30, -9}, false, "across the view, bottom to top"},
        {{-50, -50, -50}, {50, 50, 50}, false, "around the eye"},
        {{-30, -30, -11}, {-12, -12, -9}, true, "below and left"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BoxOutsideView(c.low, c.high), c.outside) << c.what;
    }
    EXPECT_EQ(ClipOutcode(-20, 0, -10), kClipLeft);
    EXPECT_EQ(ClipOutcode(20, 20, -10), kClipRight | kClipTop);
    EXPECT_EQ(ClipOutcode(0, -20, -0.5f), kClipBottom | kClipNear);
    EXPECT_EQ(ClipOutcode(0, 0, -5000), kClipFar);
    // The model-view matrix counts: moved 100 to the right, the box left of the eye is ahead.
    glTranslatef(100.0f, 0.0f, 0.0f);
    EXPECT_FALSE(BoxOutsideView({-1, -1, -11}, {1, 1, -9})) << "the old matrix until read again";
    LoadViewClip();
    EXPECT_FALSE(BoxOutsideView({-101, -1, -11}, {-99, 1, -9}));
    EXPECT_TRUE(BoxOutsideView({-1, -1, -11}, {1, 1, -9}));
    ViewCulling = false;
    EXPECT_FALSE(BoxOutsideView({-1, -1, -11}, {1, 1, -9})) << "nothing skipped when off";
    ViewCulling = true;
}

namespace {

// What one view leaves: its pixels, then after the sky, the terrain and the models the current
// normal and both units' texture coordinates, and the model-view matrix at the end.
struct tDrawnView {
    std::vector<unsigned char> pixels;
    std::vector<GLfloat> state;
};

void KeepCurrentState(std::vector<GLfloat>* state) {
    GLfloat v[4] = {};
    glGetFloatv(GL_CURRENT_NORMAL, v);
    state->insert(state->end(), v, v + 3);
    for (const GLenum unit : {GL_TEXTURE1_ARB, GL_TEXTURE0_ARB}) {
        glActiveTextureARB(unit);
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, v);
        state->insert(state->end(), v, v + 4);
    }
    glGetFloatv(GL_CURRENT_COLOR, v);
    state->insert(state->end(), v, v + 4);
}

// The frame's stages up to the overlay, every object drawn, the cloud drift and the animation
// clocks held still.
tDrawnView DrawView(bool culling, int width, int height) {
    ViewCulling = culling;
    CloudOffset1 = 0.375f;
    CloudOffset2 = 0.125f;
    ResetModelAnimationClock();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Camera.ApplyView();
    const GLfloat light_position[4] = {0.0f, 1.0f, 0.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light_position);
    glEnable(GL_LIGHT0);
    // What a frame inherits from the one before, the same for both drawings.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glMultiTexCoord2fARB(GL_TEXTURE0_ARB, 0.0f, 0.0f);
    glMultiTexCoord2fARB(GL_TEXTURE1_ARB, 0.0f, 0.0f);
    tDrawnView view;
    const tVec3 eye = Camera.Position();
    DrawSkyBox(eye.x, eye.y - 100.0f, eye.z, 15000.0f, 15000.0f, 15000.0f);
    KeepCurrentState(&view.state);
    DrawTerrain(HeightMap, eye.x, eye.z);
    KeepCurrentState(&view.state);
    for (int id = 0; id < TableBound(TransparentEnd); ++id) {
        DrawModel(id);
    }
    KeepCurrentState(&view.state);
    GLfloat matrix[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    view.state.insert(view.state.end(), matrix, matrix + 16);
    view.pixels.resize(static_cast<size_t>(width * height * 4));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, view.pixels.data());
    ViewCulling = true;
    return view;
}

} // namespace

TEST(ViewCull, LevelViewsSameWithAndWithoutSkipping) {
    if (!std::filesystem::exists("Data/Levels/Level01.olv")) {
        GTEST_SKIP() << "no generated Data/ in the working directory";
    }
    ResetGameState();
    ResetTestPlatform();
    ShutdownSound(); // loading starts its own
    SelectPlatform(SdlPlatform());
    SetDialogsToStderr(true);
    constexpr int kWidth = 200, kHeight = 150;
    {
#if defined(__SANITIZE_ADDRESS__)
        // Mesa keeps a few allocations from its start for good.
        __lsan::ScopedDisabler mesaKeepsItsStartUp;
#endif
        ASSERT_TRUE(CreateMainWindow("Ostravel", kWidth, kHeight, false, 32, 32))
            << "no offscreen video";
        WindowWidth = kWidth;
        WindowHeight = kHeight;
        CreateGLContext(static_cast<int>(WindowWidth), static_cast<int>(WindowHeight));
        LoadWorld();
    }
    ASSERT_TRUE(GLContext);
    ASSERT_GT(EnemyEnd, 0u);
    // The test backend's clock stands still: every drawing blends the same key frames.
    SelectPlatform(TestPlatform());

    // From the start and beside three enemies: eight headings, level, down and up.
    std::vector<tVec3> places = {Camera.Position()};
    for (uint32_t id = FirstId; id < EnemyEnd && places.size() < 4; id += 3) {
        const tVec3 p = GetPosition(static_cast<int>(id)) + tVec3(-150.0f, 0.0f, 90.0f);
        places.push_back(tVec3(p.x, TerrainHeight(HeightMap, p.x, p.z) + 50.0f, p.z));
    }
    // Every frame of the game starts from the state the one before left (the sky's texture
    // mode, the terrain's last normal); the loading screen left another, so one frame first.
    DrawView(false, kWidth, kHeight);
    int views = 0, differing = 0;
    for (const tVec3& eye : places) {
        for (int heading = 0; heading < 8; ++heading) {
            for (const float pitch : {0.0f, -0.5f, 0.7f}) {
                const float a = 0.785398f * static_cast<float>(heading) + 0.3f;
                Camera.Place(eye.x, eye.y, eye.z, eye.x + std::cos(a), eye.y + pitch,
                             eye.z + std::sin(a), 0.0f, 1.0f, 0.0f);
                const tDrawnView cut = DrawView(true, kWidth, kHeight);
                const tDrawnView whole = DrawView(false, kWidth, kHeight);
                ++views;
                if (cut.pixels != whole.pixels || cut.state != whole.state) {
                    ++differing;
                    ADD_FAILURE() << "view from " << eye.x << ", " << eye.y << ", " << eye.z
                                  << " heading " << heading << " pitch " << pitch << ": "
                                  << (cut.pixels != whole.pixels ? "pixels" : "state") << " differ";
                }
            }
        }
    }
    EXPECT_EQ(differing, 0) << "of " << views << " views";
    ClearSceneObjects();
    ShutdownSound();
    CloseSdlContext();
    SetDialogsToStderr(false);
    ResetGameState();
}
