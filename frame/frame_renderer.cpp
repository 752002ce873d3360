#include "frame/frame_renderer.h"

#include "state/game_state.h"
#include "state/options.h"
#include "camera/camera.h"
#include "basics/frame_timer.h"
#include "models/model_draw.h"
#include "platform/gl_api.h"
#include "platform/platform.h"
#include "render/font.h"
#include "render/overdraw.h"
#include "render/scaled_view.h"
#include "render/textures.h"
#include "terrain/blood.h"
#include "terrain/height_map.h"
#include "terrain/sky_box.h"
#include "terrain/terrain_draw.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

SortEntry TransparentOrder[kMaxSceneObjects];
double FrameDrawnMs = 0.0;

namespace {

constexpr float kSkyOffset = 100.0f; // the sky box's centre lies this far below the eye
constexpr float kSkySize = 15000.0f;
// The crosshair square: half side 0.01 at eye-space depth -1 (the near plane), placed twice as
// deep at twice the size so that it covers the same pixels without lying on the clipping plane,
// where a software rasteriser drops it.
constexpr float kCrosshairDepth = -2.0f;
constexpr float kCrosshairHalf = 0.02f;
constexpr int kTextBuffer = 250;
constexpr int kLettersLineX = 160; // the letters line starts this far left of the right edge

// Heads-up text, formatted in place every frame.
char strHealth[kTextBuffer];
char strLetters[kTextBuffer];
char strFrameRate[kTextBuffer];

float DistanceFromEye(tVec3 eye, int id) {
    return Length(eye - GetPosition(id));
}

// The whole view washed red for the frames after enemy fire, under the crosshair and the text.
void DrawRedTint() {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 0.0f, 0.0f, static_cast<float>(kRedTintAlphaPercent) / 100.0f);
    // Straight in clip space over the whole view, whatever the projection; the crosshair loads
    // the model-view identity next anyway.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBegin(GL_QUADS);
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(1.0f, -1.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

// The crosshair square in eye space, with the identity model-view matrix.
void CrosshairQuad() {
    glLoadIdentity();
    glBegin(GL_QUADS);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(-kCrosshairHalf, -kCrosshairHalf, kCrosshairDepth);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(-kCrosshairHalf, kCrosshairHalf, kCrosshairDepth);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(kCrosshairHalf, kCrosshairHalf, kCrosshairDepth);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(kCrosshairHalf, -kCrosshairHalf, kCrosshairDepth);
    glEnd();
}

// The view as the frame began. Each model puts the model-view matrix back by inverse steps,
// which leave a rounding error behind; the sky is drawn with the view itself, and what follows
// it with the matrix the models left, as when the sky came first.
GLfloat FrameView[16];

// The sky box and its clouds around the eye, drawn after the opaque world where it shows. Its
// faces are unfogged, as the overlay leaves the fog; the lighting and fog it turns off are on
// again for the scenery that follows, as the ground left them.
void DrawSkyLast(tVec3 eye) {
    OverdrawStage(kStageSky);
    glDisable(GL_FOG);
    glPushMatrix();
    glLoadMatrixf(FrameView);
    // Below full size, or under the automatic scale, the frame need not match the full-size one
    // to the byte: the clouds' marking pass is left out.
    const bool exact = !RenderScaleAutomatic() && RenderScaleInUse() >= kMaxRenderScale;
    DrawSkyBehindWorld(eye.x, eye.y - kSkyOffset, eye.z, kSkySize, kSkySize, kSkySize, exact);
    glPopMatrix();
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
    OverdrawStage(kStageModels);
}

} // namespace

void SortTransparentScenery(tVec3 eye) {
    const int from = TableBound(SolidEnd);
    const int end = TableBound(TransparentEnd);
    for (int id = from; id < end; ++id) {
        TransparentOrder[id] = {id, DistanceFromEye(eye, id)};
    }
    // Insertion sort, farthest first; only a strictly nearer entry moves, so ties keep id order.
    for (int i = from + 1; i < end; ++i) {
        for (int j = i; j > from && TransparentOrder[j].distance > TransparentOrder[j - 1].distance;
             --j) {
            const SortEntry swap = TransparentOrder[j];
            TransparentOrder[j] = TransparentOrder[j - 1];
            TransparentOrder[j - 1] = swap;
        }
    }
}

// Written into the caller's fixed buffer: the frame allocates nothing.
void FormatLettersLine(char* out, size_t size) {
    if (size == 0) {
        return;
    }
    std::memset(out, 0, size);
    const char prefix[] = "Letters : ";
    size_t at = 0;
    for (size_t k = 0; prefix[k] != '\0' && at + 1 < size; ++k) {
        out[at++] = prefix[k];
    }
    const size_t wordLength = strnlen(LetterWord, sizeof(LetterWord));
    for (uint32_t i = 0; i < LetterCount && at + 1 < size; ++i) {
        // A level with more letters than its word has characters shows '?' for the rest.
        char c = '_';
        if (i < LettersCollected) {
            c = i < wordLength ? LetterWord[i] : '?';
        }
        out[at++] = c;
    }
}

void DrawCrosshair() {
    // Unlit and unfogged whatever the scene left on, so it looks the same in every frame.
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    // Mask pass: the picture is kept where the mask is white and darkened where it is dark.
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, TextureTable[kTexCursorMask]);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    CrosshairQuad();
    // Cursor pass: its image added on top.
    glBlendFunc(GL_ONE, GL_ONE);
    glBindTexture(GL_TEXTURE_2D, TextureTable[kTexCursor]);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    CrosshairQuad();
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

void RenderFrame() {
    BeginWorldView();
    // No colour is cleared: the sky box around the eye covers every pixel the world leaves, at
    // its own colours.
    glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    // Directional light from straight above, placed in world space by the view already loaded.
    const GLfloat light_position[4] = {0.0f, 1.0f, 0.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light_position);
    glEnable(GL_LIGHT0);

    // The eye at the start of the frame: the sky, the terrain square and every distance use it.
    const tVec3 vPos = Camera.Position();
    // Enemy fire: the overlay below washes the view red; one frame of it is used up either way.
    const bool redTint = RedTintFrames > 0;
    if (redTint) {
        --RedTintFrames;
    }

    // The opaque world first, then the sky only where it still shows: the ground covers most of
    // the view, and the sky's faces and clouds, at their own depth behind it, fail the depth test
    // there instead of being drawn and covered. The world starts from the state the sky leaves
    // (unlit, unfogged, no blending, white, unit 0 combining texture and colour unscaled), not
    // from what the last frame's overlay left on. Without a stencil buffer (the browser's canvas
    // has none) the sky comes first, whole.
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, 1);
    GLint stencilBits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    bool skyDrawn = stencilBits == 0;
    if (skyDrawn) {
        OverdrawStage(kStageSky);
        DrawSkyBox(vPos.x, vPos.y - kSkyOffset, vPos.z, kSkySize, kSkySize, kSkySize);
    } else {
        glGetFloatv(GL_MODELVIEW_MATRIX, FrameView);
    }
    OverdrawStage(kStageGround);
    DrawTerrain(HeightMap, vPos.x, vPos.z);
    OverdrawStage(kStageModels);

    // Enemies, always drawn. One whose animation has come to rest goes back to standing or
    // running; the dead stay on their last frame.
    const int enemyEnd = TableBound(EnemyEnd);
    for (int id = 0; id < enemyEnd; ++id) {
        if (!DrawModel(id)) {
            const int state = GetState(id);
            if (state == kStateIdle) {
                SetAnimation(id, kAnimIdle);
            } else if (state == kStateAwake) {
                SetAnimation(id, kAnimRun);
            }
        }
    }

    // Every letter turns; only the next one to collect is drawn, none once all are in. The
    // heading wraps at a full turn so that it keeps its precision over a long game.
    LetterSpin = FmodF(LetterSpin + kLetterSpinStep, 360.0f);
    const int lettersEnd = TableBound(EnemyEnd + LetterCount);
    for (int id = enemyEnd; id < lettersEnd; ++id) {
        SetRotY(id, LetterSpin);
    }
    if (LettersCollected < LetterCount) {
        DrawModel(static_cast<int>(EnemyEnd + LettersCollected));
    }

    // Solid scenery in id order. A masked model blends with what lies behind it, so the sky
    // comes before the first one drawn, as it comes before all see-through scenery.
    const int solidEnd = TableBound(SolidEnd);
    for (int id = lettersEnd; id < solidEnd; ++id) {
        if (DistanceFromEye(vPos, id) < kViewDistance) {
            if (!skyDrawn && SceneObjects[id].hasMaskMap) {
                DrawSkyLast(vPos);
                skyDrawn = true;
            }
            DrawModel(id);
        }
    }
    if (!skyDrawn) {
        DrawSkyLast(vPos);
    }

    // See-through scenery far to near, so each blends over what lies behind it.
    SortTransparentScenery(vPos);
    OverdrawStage(kStageSeeThrough);
    const int transparentEnd = TableBound(TransparentEnd);
    for (int k = solidEnd; k < transparentEnd; ++k) {
        if (TransparentOrder[k].distance < kViewDistance) {
            DrawModel(TransparentOrder[k].id);
        }
    }

    OverdrawStage(kStageBlood);
    if (BloodActive) {
        BloodActive = DrawBlood(false, Camera.PitchDegrees(), Camera.YawDegrees());
    }
    // The world is complete: below full size it is stretched to the window here, and the overlay
    // is drawn over it at the window's own size.
    OverdrawStage(kStageOverlay);
    EndWorldView();
    if (redTint) {
        DrawRedTint();
    }
    DrawCrosshair();

    // Heads-up text, 2 pixels above the bottom edge: health in red on the left in set 0, the
    // letters in white on the right in set 1.
    glColor3f(1.0f, 0.0f, 0.0f);
    std::memset(strHealth, 0, sizeof(strHealth));
    std::snprintf(strHealth, sizeof(strHealth), "Health : %d", PlayerHealth);
    PrintText(0, 2, strHealth, 0);
    glColor3f(1.0f, 1.0f, 1.0f);
    FormatLettersLine(strLetters, sizeof(strLetters));
    PrintText(static_cast<int>(WindowWidth) - kLettersLineX, 2, strLetters, 1);

    OverdrawFrameDrawn();
    // Drawn to the last pixel before the swap, so that the time up to here is the drawing's own
    // and the swap's wait for the display (or for a software renderer's threads) is left out.
    glFinish();
    FrameDrawnMs = RealTimeMs();
    SwapGLBuffers();

    // The title shows the whole frames per second, rewritten every frame.
    const float fps = FramesPerSecond();
    const int shown = fps > 0.0f ? static_cast<int>(std::min(fps, 1.0e9f)) : 0;
    std::memset(strFrameRate, 0, sizeof(strFrameRate));
    // A scale below full size, or one the game chooses itself, is named after the rate.
    const float scale = RenderScaleInUse();
    if (RenderScaleAutomatic() || scale < 1.0f) {
        std::snprintf(strFrameRate, sizeof(strFrameRate),
                      "Frames Per Second: %d  Render scale: %.2f%s", shown,
                      static_cast<double>(scale), RenderScaleAutomatic() ? " (auto)" : "");
    } else {
        std::snprintf(strFrameRate, sizeof(strFrameRate), "Frames Per Second: %d", shown);
    }
    SetWindowTitle(strFrameRate);
}
