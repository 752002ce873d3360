#include "render/scaled_view.h"

#include "state/game_state.h"
#include "platform/gl_api.h"
#include "render/scale_controller.h"

#include <algorithm>
#include <cstdio>

namespace {

// ---- whole run ----
float FixedScale = kMaxRenderScale;
bool Automatic = false;
tScaleController Controller;

// ---- the GL context's: the stretch texture, made at the first scaled frame and grown with
// the window, never per frame ----
GLuint StretchTexture = 0;
int TextureWidth = 0; // powers of two, for GLs that know no other sizes
int TextureHeight = 0;
bool TooLargeSaid = false;

// Per frame: the scaled area BeginWorldView chose, 0 x 0 at full size.
int DrawnWidth = 0;
int DrawnHeight = 0;

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n) {
        p *= 2;
    }
    return p;
}

// The stretch texture large enough for width x height; false when the GL cannot hold one.
bool StretchTextureFor(int width, int height) {
    if (StretchTexture != 0 && width <= TextureWidth && height <= TextureHeight) {
        return true;
    }
    // Sized for the whole window, so that the automatic scale's steps need no new texture.
    const int wantWidth = PowerOfTwoAtLeast(std::max(width, static_cast<int>(WindowWidth)));
    const int wantHeight = PowerOfTwoAtLeast(std::max(height, static_cast<int>(WindowHeight)));
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (wantWidth > maxSize || wantHeight > maxSize) {
        if (!TooLargeSaid) {
            std::fprintf(stderr,
                         "render scale: a %ux%u window is too large to stretch; drawn "
                         "at full size\n",
                         WindowWidth, WindowHeight);
            TooLargeSaid = true;
        }
        return false;
    }
    if (StretchTexture == 0) {
        glGenTextures(1, &StretchTexture);
    }
    glBindTexture(GL_TEXTURE_2D, StretchTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(kWindowCopyFormat), wantWidth, wantHeight, 0,
                 kWindowCopyFormat, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    TextureWidth = wantWidth;
    TextureHeight = wantHeight;
    return true;
}

} // namespace

void SetRenderScale(float scale, bool automatic) {
    FixedScale = std::clamp(scale, kMinRenderScale, kMaxRenderScale);
    Automatic = automatic;
    ResetScaleController(&Controller);
}

float RenderScaleInUse() {
    return Automatic ? ControllerScale(Controller) : FixedScale;
}

bool RenderScaleAutomatic() {
    return Automatic;
}

int RenderScaleSteps() {
    return Controller.changes;
}

void RenderScaleFrameTime(float frameMs) {
    if (Automatic) {
        ScaleControllerFrame(&Controller, frameMs);
    }
}

void BeginWorldView() {
    DrawnWidth = 0;
    DrawnHeight = 0;
    const float scale = RenderScaleInUse();
    if (scale >= kMaxRenderScale) {
        return;
    }
    const int width = std::max(1, static_cast<int>(static_cast<float>(WindowWidth) * scale + 0.5f));
    const int height =
        std::max(1, static_cast<int>(static_cast<float>(WindowHeight) * scale + 0.5f));
    if (!StretchTextureFor(width, height)) {
        return;
    }
    DrawnWidth = width;
    DrawnHeight = height;
    glViewport(0, 0, width, height);
    // The frame's clear keeps to the scaled area too: the stretch covers the rest of the window,
    // and nothing after it reads the depth buffer.
    glScissor(0, 0, width, height);
    glEnable(GL_SCISSOR_TEST);
}

void EndWorldView() {
    if (DrawnWidth == 0) {
        return;
    }
    glDisable(GL_SCISSOR_TEST);
    if (glActiveTextureARB != nullptr) {
        glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, StretchTexture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, DrawnWidth, DrawnHeight);
    glViewport(0, 0, static_cast<GLsizei>(WindowWidth), static_cast<GLsizei>(WindowHeight));

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_BLEND);
    // The copied pixels as they are, with no multiply by the colour (which also spares a
    // software renderer that work on every window pixel); unit 0 modulates again afterwards,
    // as everything else drawn with it expects.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    // Texel centres from the first to the last copied one, so that the filter never reaches past
    // the copied area into what the texture held before.
    const float s0 = 0.5f / static_cast<float>(TextureWidth);
    const float t0 = 0.5f / static_cast<float>(TextureHeight);
    const float s1 = (static_cast<float>(DrawnWidth) - 0.5f) / static_cast<float>(TextureWidth);
    const float t1 = (static_cast<float>(DrawnHeight) - 0.5f) / static_cast<float>(TextureHeight);
    // Straight in clip space over the whole window.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(s1, t0);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(s1, t1);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(s0, t1);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_DEPTH_TEST);
}
