#include "app/display.h"

#include "app/game_state.h"
#include "app/gl_api.h"
#include "app/platform.h"

tActiveTextureProc glActiveTextureARB = nullptr;
tMultiTexCoord2fProc glMultiTexCoord2fARB = nullptr;
GLenum ModelPrimitive = GL_TRIANGLES;

namespace {
bool NoVsync = false;
}

void SetNoVsync(bool on) {
    NoVsync = on;
}

void WindowCentre(int* x, int* y) {
    int originX = 0, originY = 0;
    GetClientOrigin(&originX, &originY);
    *x = originX + static_cast<int>(WindowWidth / 2u);
    *y = originY + static_cast<int>(WindowHeight / 2u);
}

void SwitchToFullScreen() {
    tDisplayMode dmSettings{};
    if (!QueryDisplayMode(&dmSettings)) {
        ShowError("Could Not Enum Display Settings");
        return;
    }
    if (!ChangeDisplayMode(WindowWidth, WindowHeight)) {
        ShowError("Display Mode Not Compatible");
        PostQuitRequest(0);
    }
}

void CreateGLContext(int width, int height) {
    WindowDC = MainWindow;
    ModelPrimitive = GL_TRIANGLES;
    // Colour and depth buffer both ask for the settings' colour depth (low byte).
    const int bits = static_cast<int>(ColorBits & 0xFFu);
    const int format = ChoosePixelFormat(bits, bits);
    if (format == 0) {
        ShowError("ChoosePixelFormat failed");
        PostQuitRequest(0);
    }
    if (!SetPixelFormat(format)) {
        ShowError("SetPixelFormat failed");
        PostQuitRequest(0);
    }
    GLContext = CreateContext();
    if (NoVsync && GLContext) {
        SetSwapInterval(0);
    }

    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);

    glActiveTextureARB =
        reinterpret_cast<tActiveTextureProc>(GetGLProcAddress("glActiveTextureARB"));
    glMultiTexCoord2fARB =
        reinterpret_cast<tMultiTexCoord2fProc>(GetGLProcAddress("glMultiTexCoord2fARB"));
    if (glActiveTextureARB == nullptr || glMultiTexCoord2fARB == nullptr) {
        ShowError("Your current setup does not support multitexturing");
        PostQuitRequest(0);
    }
    ResizeView(static_cast<unsigned>(width), static_cast<unsigned>(height));
}

void ResizeView(unsigned width, unsigned height) {
    if (height == 0) {
        height = 1;
    }
    WindowWidth = width;
    WindowHeight = height;
    if (!GLContext) {
        return;
    }
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, static_cast<double>(width) / static_cast<double>(height),
                   kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
