#include "app/display.h"

#include "state/game_state.h"
#include "state/options.h"
#include "platform/gl_api.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstring>

namespace {
bool NoVsync = false;

// ---- full-screen toggle (whole run) ----
bool DesktopFullScreen = false; // the player's choice
bool DesktopInUse = false;      // and the desktop's size known, at start-up
unsigned FullScreenWidth = 0;
unsigned FullScreenHeight = 0;
// The settings' size: the window a game started full screen comes back to.
unsigned SettingsWidth = 0;
unsigned SettingsHeight = 0;
// The window's client area before the switch to full screen, restored on the way back.
bool WindowPlaceKnown = false;
int WindowX = 0;
int WindowY = 0;
unsigned WindowSavedWidth = 0;
unsigned WindowSavedHeight = 0;
} // namespace

void UseDesktopFullScreen(bool on) {
    DesktopFullScreen = on;
}

void SetFullScreenSize(unsigned width, unsigned height) {
    FullScreenWidth = width;
    FullScreenHeight = height;
    SettingsWidth = width;
    SettingsHeight = height;
    WindowPlaceKnown = false;
    tDisplayMode desktop{};
    if (DesktopFullScreen && !QueryDisplayMode(&desktop)) {
        std::fprintf(stderr,
                     "full screen: the desktop's size is unknown; the display mode "
                     "changes to %ux%u instead\n",
                     width, height);
    } else if (DesktopFullScreen && desktop.width > 0 && desktop.height > 0) {
        FullScreenWidth = static_cast<unsigned>(desktop.width);
        FullScreenHeight = static_cast<unsigned>(desktop.height);
        DesktopInUse = true;
        SetDesktopFullScreen(true);
        return;
    }
    DesktopInUse = false;
    SetDesktopFullScreen(false);
}

bool ViewFollowsResize() {
    return !FullScreen || DesktopInUse;
}

void ToggleFullScreen() {
    if (!FullScreen) {
        // Over the desktop: the size of the display the window is on now, at its resolution now.
        tDisplayMode desktop{};
        if (DesktopInUse && QueryDisplayMode(&desktop) && desktop.width > 0 && desktop.height > 0) {
            FullScreenWidth = static_cast<unsigned>(desktop.width);
            FullScreenHeight = static_cast<unsigned>(desktop.height);
        }
        int x = 0, y = 0;
        GetClientOrigin(&x, &y);
        if (!SetWindowFullScreen(true, 0, 0, FullScreenWidth, FullScreenHeight)) {
            std::fprintf(stderr, "full screen: the display offers no %ux%u mode\n", FullScreenWidth,
                         FullScreenHeight);
            return;
        }
        WindowPlaceKnown = true;
        WindowX = x;
        WindowY = y;
        WindowSavedWidth = WindowWidth;
        WindowSavedHeight = WindowHeight;
        FullScreen = true;
        ResizeView(FullScreenWidth, FullScreenHeight);
    } else {
        // A game started full screen has no window place yet: the configured size at (0, 0).
        const unsigned width = WindowPlaceKnown ? WindowSavedWidth : SettingsWidth;
        const unsigned height = WindowPlaceKnown ? WindowSavedHeight : SettingsHeight;
        const int x = WindowPlaceKnown ? WindowX : 0;
        const int y = WindowPlaceKnown ? WindowY : 0;
        if (!SetWindowFullScreen(false, x, y, width, height)) {
            return;
        }
        FullScreen = false;
        ResizeView(width, height);
    }
    int centreX = 0, centreY = 0;
    WindowCentre(&centreX, &centreY);
    SetCursorPos(centreX, centreY);
}

void SetNoVsync(bool on) {
    NoVsync = on;
}

bool HasMultitexture(const char* version, const char* extensions) {
    if (version == nullptr) {
        return false;
    }
    // GL_VERSION starts "major.minor", optionally followed by a release number and vendor text.
    int major = 0, minor = 0;
    if (std::sscanf(version, "%d.%d", &major, &minor) == 2 &&
        (major > 1 || (major == 1 && minor >= 3))) {
        return true;
    }
    // The extension string is a list of names separated by spaces; a longer name that starts
    // with the same letters is another extension.
    constexpr const char* kName = "GL_ARB_multitexture";
    const size_t length = std::strlen(kName);
    for (const char* at = extensions; at != nullptr && (at = std::strstr(at, kName)) != nullptr;
         at += length) {
        const bool starts = at == extensions || at[-1] == ' ';
        const bool ends = at[length] == '\0' || at[length] == ' ';
        if (starts && ends) {
            return true;
        }
    }
    return false;
}

void SwitchToFullScreen() {
    // Over the desktop the mode stays: the window takes the desktop's size.
    if (DesktopInUse) {
        WindowWidth = FullScreenWidth;
        WindowHeight = FullScreenHeight;
        return;
    }
    tDisplayMode dmSettings{};
    if (!QueryDisplayMode(&dmSettings)) {
        ShowError("Could Not Enum Display Settings");
        return;
    }
    // The window's size at the display's current refresh rate.
    dmSettings.width = static_cast<int>(WindowWidth);
    dmSettings.height = static_cast<int>(WindowHeight);
    if (!ChangeDisplayMode(dmSettings)) {
        ShowError("Display Mode Not Compatible");
        PostQuitRequest(kExitCouldNotStart);
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
        PostQuitRequest(kExitCouldNotStart);
    }
    if (!SetPixelFormat(format)) {
        ShowError("SetPixelFormat failed");
        PostQuitRequest(kExitCouldNotStart);
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
    // The dispatch library hands out an entry point for any name, so only the context can say
    // whether the calls will do anything.
    if (!HasMultitexture(GetContextString(false), GetContextString(true)) ||
        glActiveTextureARB == nullptr || glMultiTexCoord2fARB == nullptr) {
        ShowError("Your current setup does not support multitexturing");
        PostQuitRequest(kExitCouldNotStart);
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
