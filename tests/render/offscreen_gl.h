// Render-test helpers: a hidden window and GL context of SDL's offscreen driver (software GL),
// with every later platform call (clock, title, buffer swap) answered by the test backend, so
// a test can set the tick count and read the titles while drawing into a real frame buffer.
#pragma once

#include "app/display.h"
#include "replay/replay_platform.h"
#include "state/game_state.h"
#include "platform/gl_api.h"
#include "platform/platform.h"
#include "platform/platform_test.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <ostream>
#include <vector>

struct tRgb {
    int r, g, b;
};

// Opens the window and its context as the game does, on the SDL backend under the replay tools,
// which stay selected;
// false when no offscreen video.
inline bool OpenSdlContext(int width, int height) {
    ResetGameState();
    SelectPlatform(ReplayPlatform(SdlPlatform()));
    ColorBits = 32;
    if (!CreateMainWindow("Ostravel", static_cast<unsigned>(width), static_cast<unsigned>(height),
                          false, 32, 32)) {
        return false;
    }
    MainWindow = true;
    CreateGLContext(width, height);
    return GLContext;
}

// keepVideo leaves the window system up (and the GL driver loaded) until the process ends.
inline void CloseSdlContext(bool keepVideo = false) {
    SelectPlatform(ReplayPlatform(SdlPlatform()));
    ReleaseContext();
    DeleteContext();
    GLContext = false;
    if (!keepVideo) {
        ShutdownPlatform();
    }
}

// Closes an open context when the test ends, however it ends (a failed assertion included).
struct tContextCloser {
    bool keepVideo = false;
    ~tContextCloser() {
        if (GLContext) {
            CloseSdlContext(keepVideo);
        }
    }
};

// Opens the context and leaves the test backend selected; false when no offscreen video.
inline bool OpenOffscreenGL(int width, int height) {
    if (!OpenSdlContext(width, height) || glActiveTextureARB == nullptr) {
        return false;
    }
    ResetTestPlatform();
    return true;
}

inline void CloseOffscreenGL() {
    CloseSdlContext();
}

// A texture of w x h RGB texels (row 0 at t = 0), nearest filtering and no mipmaps.
inline GLuint MakeTexture(int w, int h, const std::vector<tRgb>& texels) {
    std::vector<unsigned char> bytes;
    for (const tRgb& c : texels) {
        bytes.push_back(static_cast<unsigned char>(c.r));
        bytes.push_back(static_cast<unsigned char>(c.g));
        bytes.push_back(static_cast<unsigned char>(c.b));
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, bytes.data());
    return name;
}

inline GLuint SolidTexture(tRgb c) {
    return MakeTexture(1, 1, {c});
}

// Light 0 and fog as the world loading sets them.
inline void SetWorldLightAndFog() {
    glEnable(GL_LIGHTING);
    const GLfloat light_ambient[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, light_ambient);
    glFogi(GL_FOG_MODE, GL_EXP2);
    const GLfloat fogColor[4] = {0.820312f, 0.703125f, 0.546875f, 1.0f};
    glFogfv(GL_FOG_COLOR, fogColor);
    glFogf(GL_FOG_DENSITY, 0.0005f);
}

// The back buffer's pixel at (x, y) from the lower-left corner.
inline tRgb PixelAt(int x, int y) {
    std::array<unsigned char, 4> p{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    return {p[0], p[1], p[2]};
}

inline float DepthAt(int x, int y) {
    float d = 0.0f;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &d);
    return d;
}

inline bool Near(tRgb a, tRgb b, int tolerance = 12) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

inline std::ostream& operator<<(std::ostream& out, tRgb c) {
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}
