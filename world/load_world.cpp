#include "world/load_world.h"

#include "state/game_state.h"
#include "camera/camera.h"
#include "basics/frame_timer.h"
#include "basics/game_random.h"
#include "models/md2_loader.h"
#include "models/model_draw.h"
#include "platform/gl_api.h"
#include "platform/platform.h"
#include "render/font.h"
#include "render/textures.h"
#include "sound/sound_effect.h"
#include "terrain/blood.h"
#include "terrain/height_map.h"
#include "terrain/sky_box.h"
#include "world/level_file.h"
#include "world/movement.h"
#include "objects/scene_objects.h"
#include "world/world_rules.h"

#include <cstdlib>
#include <cstring>

namespace {

// A texture every level uses, loaded into its fixed slot.
struct tFixedTexture {
    const char* path;
    int slot;
};

// The order in which the fixed textures load.
constexpr tFixedTexture kFixedTextures[] = {
    {"Data\\Skies\\SkyBox01\\Back.bmp", kTexSkyBack},
    {"Data\\Skies\\SkyBox01\\Front.bmp", kTexSkyFront},
    {"Data\\Skies\\SkyBox01\\Bottom.bmp", kTexSkyBottom},
    {"Data\\Skies\\SkyBox01\\Top.bmp", kTexSkyTop},
    {"Data\\Skies\\SkyBox01\\Left.bmp", kTexSkyLeft},
    {"Data\\Skies\\SkyBox01\\Right.bmp", kTexSkyRight},
    {"Data\\Skies\\SkyBox01\\Cloud.bmp", kTexClouds},
    {"Data\\Blood.bmp", kTexBlood},
    {"Data\\cursor_mask.bmp", kTexCursorMask},
    {"Data\\cursor.bmp", kTexCursor},
    {"Data\\Terrains\\Terrain.bmp", kTexTerrain},
    {"Data\\Terrains\\Detail.bmp", kTexDetail},
};

// Stays on screen until the main loop draws its first frame. The text is placed in window pixels
// (the font sets up its own projection), white, in the first character set.
void ShowLoadingScreen() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    int x = 0, y = 0;
    LoadingTextPosition(static_cast<int>(WindowWidth), static_cast<int>(WindowHeight), &x, &y);
    PrintText(x, y, kLoadingText, 0);
    glFlush();
    // A run that ends before its first frame can still capture the loading screen: captures are
    // taken at every swap.
    SwapGLBuffers();
}

// Light 0's ambient colour and the fog's parameters; fog itself stays off until drawing.
void SetLightAndFog() {
    glEnable(GL_LIGHTING);
    const GLfloat light_ambient[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, light_ambient);
    // Start and end do nothing in the squared exponential mode; the drawing code turns fog on.
    const GLfloat fogColor[4] = {0.820312f, 0.703125f, 0.546875f, 1.0f};
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogfv(GL_FOG_COLOR, fogColor);
    glFogf(GL_FOG_DENSITY, 0.0005f);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, 7500.0f);
    glFogf(GL_FOG_END, 12500.0f);
}

} // namespace

void LoadingTextPosition(int width, int height, int* x, int* y) {
    *x = width / 2 - 128;
    *y = height / 4;
}

void ResetLevelState() {
    ResetMissionState();
    PitchTotal = 0.0f;
    PitchTotalBefore = 0.0f;
    BobPhase = 0.0f;
    CloudOffset1 = 0.0f;
    CloudOffset2 = 0.0f;
    ResetBlood();
    ResetWorldRules();
    ResetFrameTimer();
    ClearSceneObjects();
}

bool LoadWorld() {
    ResetLevelState();
    // The enemies' firing chances and the blood spray draw from the game's generator, seeded from
    // the clock unless the command line or a replayed recording names the seed.
    SeedGameRandom(RandomSeed());
    SetCursorVisible(false);

    // The font first, so the loading screen can say what is happening.
    LoadTexture(TextureTable, "Data\\Fonts\\Font02.bmp", kTexFont);
    CreateFontLists();
    ShowLoadingScreen();

    // The ground before the camera and the level: both stand on it.
    LoadHeightMap("Data\\Terrains\\Terrain.raw", kHeightMapBytes, HeightMap);
    for (const tFixedTexture& texture : kFixedTextures) {
        LoadTexture(TextureTable, texture.path, texture.slot);
    }
    // At the world origin, the eye 50 units above the ground, looking along +z.
    const float eye = TerrainHeight(HeightMap, 0.0f, 0.0f) + kEyeAboveGround;
    Camera.Place(0.0f, eye, 0.0f, 0.0f, eye, 1.0f, 0.0f, 1.0f, 0.0f);
    SetLightAndFog();
    // The level's objects name the same few skins over and over: one texture per file.
    BeginSharedTextures();
    ReadLevel("Data\\Levels\\Level01.olv");
    EndSharedTextures();
    // Animations count their first 125 ms from here, not from the clock's zero.
    ResetModelAnimationClock();

    // Last of all: no sound, no game. The caller ends it through the shutdown sequence.
    return InitSound("Data\\Sounds\\Shot.wav");
}
