// The real backend: SDL2 windows, events and GL contexts.
#include "platform/game_pad.h"
#include "platform/gl_api.h"
#include "platform/platform.h"

#include <SDL.h>

#include <cstdio>
#include <dlfcn.h>
#include <unistd.h>

namespace {

SDL_Window* Window = nullptr;
SDL_GLContext Context = nullptr;
bool VideoStarted = false;
// The game controller in use (the first one plugged in), and whether its right trigger is
// pulled (see game_pad.h).
SDL_GameController* Controller = nullptr;
bool TriggerPulled = false;
bool FullScreenWindow = false;
// Full screen over the desktop at its own size, with no display-mode change.
bool DesktopFullScreen = false;
// Under X the cursor is read from the server itself (see SdlCursorPos).
bool ServerCursor = false;
unsigned WantedWidth = 0;
unsigned WantedHeight = 0;
// The framebuffer the window was created with; X11 fixes it with the window's visual.
int WindowColorBits = 0;
int WindowDepthBits = 0;

// Xlib meets a broken connection (the X server gone) inside whatever call finds it, prints its
// own line and ends the process with exit code 1, the code the game gives a missing sound. Its
// handler for that is replaced by one that reports the display's loss to the game. libX11 is
// the one SDL loaded; the handler is set through it by name, so the game neither links it nor
// needs its headers (Xlib passes its Display, which the game does not read).
// SDL shows its message boxes from a child process of its own; a child that meets the broken
// connection leaves quietly, and the game finds the loss itself.
pid_t GamePid = 0;

int XConnectionBroken(void* display) {
    (void)display;
    if (getpid() != GamePid) {
        _exit(1);
    }
    DisplayLost("the connection to the X server broke");
    return 0;
}

void CatchXConnectionLoss() {
    GamePid = getpid();
    void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (x11 == nullptr) {
        return;
    }
    using tIoErrorHandler = int (*)(void*);
    using tSetIoErrorHandler = tIoErrorHandler (*)(tIoErrorHandler);
    const auto setHandler = reinterpret_cast<tSetIoErrorHandler>(dlsym(x11, "XSetIOErrorHandler"));
    if (setHandler != nullptr) {
        setHandler(XConnectionBroken);
    }
    // Only the reference this lookup took; SDL keeps the library loaded.
    dlclose(x11);
}

bool StartVideo() {
    if (!VideoStarted) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            std::fprintf(stderr, "SDL video: %s\n", SDL_GetError());
            return false;
        }
        // Mouse look reads the cursor position each frame; the motion events themselves carry
        // nothing the game needs and would only hold frames back while they queue up.
        SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
        const char* driver = SDL_GetCurrentVideoDriver();
        // With no display to reach, SDL falls back to drivers that draw nowhere: the game
        // would run unseen and never end. Those are for tests, which ask for them by name.
        const char* asked = SDL_getenv("SDL_VIDEODRIVER");
        const bool invisible = driver != nullptr && (SDL_strcmp(driver, "offscreen") == 0 ||
                                                     SDL_strcmp(driver, "dummy") == 0);
        if (invisible && (asked == nullptr || SDL_strstr(asked, driver) == nullptr)) {
            std::fprintf(stderr, "SDL video: no display to open a window on (DISPLAY=%s)\n",
                         SDL_getenv("DISPLAY") != nullptr ? SDL_getenv("DISPLAY") : "");
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            return false;
        }
        ServerCursor = driver != nullptr && SDL_strcmp(driver, "x11") == 0;
        if (ServerCursor) {
            CatchXConnectionLoss();
        }
        // Controllers plugged in now or later arrive as device events; without the subsystem
        // the game simply has none.
        if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
            std::fprintf(stderr, "SDL game controllers: %s\n", SDL_GetError());
        }
        VideoStarted = true;
    }
    return true;
}

bool SdlMessageBox(const char* text, const char* caption, tMessageButtons buttons,
                   tMessageAnswer* answer) {
    SDL_MessageBoxData data{};
    data.title = caption;
    data.message = text;
    if (buttons == kButtonsOk) {
        static const SDL_MessageBoxButtonData kOk[] = {
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0,
             "OK"},
        };
        // The game's failures all come under the caption "Error"; the mission's end does not.
        data.flags =
            SDL_strcmp(caption, "Error") == 0 ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
        data.numbuttons = 1;
        data.buttons = kOk;
        *answer = kAnswerOk;
        return SDL_ShowMessageBox(&data, nullptr) == 0;
    }
    // Return answers Yes and Escape answers No, so the box can be answered from the keyboard.
    static const SDL_MessageBoxButtonData kYesNo[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
    };
    // SDL has no question icon; the information icon is the nearest.
    data.flags = SDL_MESSAGEBOX_INFORMATION;
    data.numbuttons = 2;
    data.buttons = kYesNo;
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) {
        return false;
    }
    *answer = pressed == 0 ? kAnswerNo : kAnswerYes;
    return true;
}

// The display the window is on, whose size full screen over the desktop takes and whose modes
// full screen at a mode asks; before the window exists, the one holding (0, 0), where it opens.
int WindowDisplay() {
    const SDL_Point origin = {0, 0};
    const int display =
        Window != nullptr ? SDL_GetWindowDisplayIndex(Window) : SDL_GetPointDisplayIndex(&origin);
    return display >= 0 ? display : 0;
}

void SetFramebufferAttributes(int colorBits, int depthBits, int stencilBits) {
    const int channel = colorBits >= 24 ? 8 : colorBits >= 15 ? 5 : 4;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, colorBits == 16 ? 6 : channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, stencilBits);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, 0);
    // The game draws with the fixed-function pipeline.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

bool SdlCreateWindow(const char* title, unsigned width, unsigned height, bool fullScreen,
                     int colorBits, int depthBits) {
    if (!StartVideo()) {
        return false;
    }
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (!fullScreen) {
        flags |= SDL_WINDOW_RESIZABLE;
    } else if (DesktopFullScreen) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    } else {
        flags |= SDL_WINDOW_FULLSCREEN | SDL_WINDOW_BORDERLESS;
    }
    // Drivers that cannot give the requested depth buffer get the nearest smaller one, down to
    // 16 bits; below that the game's depth test would not hold, which counts as no pixel format.
    // A stencil buffer beside it lets the sky be drawn after the world (without one the sky
    // comes first), but never at the cost of depth: each depth is tried with a stencil buffer,
    // then without, before the next smaller depth.
    const int depthChoices[] = {depthBits, depthBits, 24, 24, 16, 16};
    for (int choice = 0; choice < 6; ++choice) {
        const int depth = depthChoices[choice];
        // A depth asked for twice (24 or 16 asked) is tried once.
        if (depth > depthBits || (choice >= 2 && depth == depthChoices[choice - 2])) {
            continue;
        }
        SetFramebufferAttributes(colorBits, depth, choice % 2 == 0 ? 8 : 0);
        Window =
            SDL_CreateWindow(title, 0, 0, static_cast<int>(width), static_cast<int>(height), flags);
        if (Window != nullptr) {
            WindowColorBits = colorBits;
            WindowDepthBits = depth;
            if (depth != depthBits) {
                std::fprintf(stderr, "depth buffer: %d bits asked, %d given\n", depthBits, depth);
            }
            break;
        }
    }
    // No framebuffer for GL at all: the window still opens, without GL, so that the pixel-format
    // steps find nothing and say so in the game's own messages.
    if (Window == nullptr) {
        std::fprintf(stderr, "SDL GL window: %s\n", SDL_GetError());
        Window = SDL_CreateWindow(title, 0, 0, static_cast<int>(width), static_cast<int>(height),
                                  flags & ~static_cast<Uint32>(SDL_WINDOW_OPENGL));
    }
    if (Window == nullptr) {
        std::fprintf(stderr, "SDL window: %s\n", SDL_GetError());
        return false;
    }
    FullScreenWindow = fullScreen;
    WantedWidth = width;
    WantedHeight = height;
    if (fullScreen && !DesktopFullScreen) {
        SDL_DisplayMode mode{};
        if (SDL_GetDesktopDisplayMode(WindowDisplay(), &mode) == 0) {
            mode.w = static_cast<int>(width);
            mode.h = static_cast<int>(height);
            SDL_SetWindowDisplayMode(Window, &mode);
        }
    }
    return true;
}

void SdlShowWindow() {
    SDL_ShowWindow(Window);
    SDL_RaiseWindow(Window);
}

void SdlSetWindowTitle(const char* title) {
    if (Window != nullptr) {
        SDL_SetWindowTitle(Window, title);
    }
}

void SdlClientSize(int* width, int* height) {
    *width = 0;
    *height = 0;
    if (Window != nullptr) {
        SDL_GetWindowSize(Window, width, height);
    }
}

void SdlClientOrigin(int* x, int* y) {
    *x = 0;
    *y = 0;
    if (Window != nullptr) {
        SDL_GetWindowPosition(Window, x, y);
    }
}

// Hot-plugging: the first controller plugged in is used until it goes, then the next one.
void ControllerAdded(int deviceIndex) {
    if (Controller == nullptr && SDL_IsGameController(deviceIndex)) {
        Controller = SDL_GameControllerOpen(deviceIndex);
        TriggerPulled = false;
    }
}

void ControllerRemoved(SDL_JoystickID id) {
    if (Controller == nullptr ||
        SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(Controller)) != id) {
        return;
    }
    SDL_GameControllerClose(Controller);
    Controller = nullptr;
    for (int i = 0; i < SDL_NumJoysticks() && Controller == nullptr; ++i) {
        ControllerAdded(i);
    }
}

bool IsOurController(SDL_JoystickID id) {
    return Controller != nullptr &&
           SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(Controller)) == id;
}

// A controller axis as -1 ... 1 (a trigger 0 ... 1); 0 without a controller.
float PadAxis(SDL_GameControllerAxis axis) {
    if (Controller == nullptr) {
        return 0.0f;
    }
    return static_cast<float>(SDL_GameControllerGetAxis(Controller, axis)) / 32767.0f;
}

// SDL's events in the game's terms; false for events the backend handles itself.
bool Translate(const SDL_Event& in, tEvent* out) {
    *out = tEvent{};
    switch (in.type) {
    case SDL_CONTROLLERDEVICEADDED:
        ControllerAdded(in.cdevice.which);
        return false;
    case SDL_CONTROLLERDEVICEREMOVED:
        ControllerRemoved(in.cdevice.which);
        return false;
    case SDL_CONTROLLERBUTTONDOWN:
        // A fires like the left button; Back quits like Escape.
        if (!IsOurController(in.cbutton.which)) {
            return false;
        }
        if (in.cbutton.button == SDL_CONTROLLER_BUTTON_A) {
            out->kind = kEventLeftButton;
            return true;
        }
        if (in.cbutton.button == SDL_CONTROLLER_BUTTON_BACK) {
            out->kind = kEventKeyDown;
            out->key = kKeyEscape;
            return true;
        }
        return false;
    case SDL_CONTROLLERAXISMOTION:
        if (!IsOurController(in.caxis.which) || in.caxis.axis != SDL_CONTROLLER_AXIS_TRIGGERRIGHT) {
            return false;
        }
        if (PadTriggerShot(static_cast<float>(in.caxis.value) / 32767.0f, &TriggerPulled)) {
            out->kind = kEventLeftButton;
            return true;
        }
        return false;
    case SDL_QUIT:
        out->kind = kEventClose;
        return true;
    case SDL_KEYDOWN:
        out->kind = kEventKeyDown;
        out->key = in.key.keysym.sym == SDLK_ESCAPE ? kKeyEscape : kKeyOther;
        if (in.key.keysym.sym == SDLK_F11 ||
            (in.key.keysym.sym == SDLK_RETURN && (in.key.keysym.mod & KMOD_ALT) != 0)) {
            if (in.key.repeat != 0) {
                return false;
            }
            out->key = kKeyFullScreen;
        }
        if (in.key.keysym.sym == SDLK_F12) {
            // One screenshot per press, not one per key repeat.
            if (in.key.repeat != 0) {
                return false;
            }
            out->key = kKeyScreenshot;
        }
        return true;
    case SDL_MOUSEBUTTONDOWN:
        if (in.button.button == SDL_BUTTON_LEFT) {
            out->kind = kEventLeftButton;
            return true;
        }
        if (in.button.button == SDL_BUTTON_RIGHT) {
            out->kind = kEventRightButton;
            return true;
        }
        return false;
    case SDL_WINDOWEVENT:
        switch (in.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            out->kind = kEventClose;
            return true;
        case SDL_WINDOWEVENT_MOVED:
            out->kind = kEventMove;
            return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            out->kind = kEventResize;
            out->width = in.window.data1;
            out->height = in.window.data2;
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out->kind = kEventFocus;
            out->gained = in.window.event == SDL_WINDOWEVENT_FOCUS_GAINED;
            return true;
        default:
            return false;
        }
    default:
        return false;
    }
}

bool SdlPollEvent(tEvent* event) {
    if (!VideoStarted) {
        return false;
    }
    SDL_Event in;
    while (SDL_PollEvent(&in)) {
        if (Translate(in, event)) {
            return true;
        }
    }
    return false;
}

void SdlShowCursor(bool show) {
    if (VideoStarted) {
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    }
}

void SdlCursorPos(int* x, int* y) {
    // SDL's own copy of the position follows the motion events it has read, so just after a
    // re-centring (the focus coming back) it can still hold the old place: a turn nobody made.
    if (ServerCursor) {
        SDL_GetGlobalMouseState(x, y);
        return;
    }
    int ox = 0, oy = 0, lx = 0, ly = 0;
    SdlClientOrigin(&ox, &oy);
    SDL_GetMouseState(&lx, &ly);
    *x = ox + lx;
    *y = oy + ly;
}

void SdlSetCursorPos(int x, int y) {
    if (Window == nullptr) {
        return;
    }
    // Read and moved in screen pixels alike, so that the two agree even while SDL's idea of the
    // window's place differs from the server's (a full-screen switch that no window manager
    // carried out leaves SDL believing the window sits at the display's corner).
    if (ServerCursor) {
        SDL_WarpMouseGlobal(x, y);
        return;
    }
    int ox = 0, oy = 0;
    SdlClientOrigin(&ox, &oy);
    SDL_WarpMouseInWindow(Window, x - ox, y - oy);
}

bool SdlKeyDown(tKey key) {
    static const SDL_Scancode kScancodes[kKeyCount] = {
        SDL_SCANCODE_UP, SDL_SCANCODE_DOWN, SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT,
        SDL_SCANCODE_W,  SDL_SCANCODE_S,    SDL_SCANCODE_A,    SDL_SCANCODE_D,
    };
    const Uint8* state = SDL_GetKeyboardState(nullptr);
    if (state != nullptr && state[kScancodes[key]] != 0) {
        return true;
    }
    return PadStickKeyDown(PadAxis(SDL_CONTROLLER_AXIS_LEFTX), PadAxis(SDL_CONTROLLER_AXIS_LEFTY),
                           key);
}

void SdlLookStick(float* x, float* y) {
    *x = PadStickAxis(PadAxis(SDL_CONTROLLER_AXIS_RIGHTX));
    *y = PadStickAxis(PadAxis(SDL_CONTROLLER_AXIS_RIGHTY));
}

bool SdlQueryDisplayMode(tDisplayMode* mode) {
    SDL_DisplayMode current{};
    if (!StartVideo() || SDL_GetDesktopDisplayMode(WindowDisplay(), &current) != 0) {
        return false;
    }
    mode->width = current.w;
    mode->height = current.h;
    mode->refreshRate = current.refresh_rate;
    return true;
}

// The mode itself is switched when the full-screen window appears; here the display is asked
// whether it offers exactly this size.
bool DisplayOffers(unsigned width, unsigned height) {
    if (!StartVideo()) {
        return false;
    }
    const int display = WindowDisplay();
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(display, i, &mode) == 0 && mode.w == static_cast<int>(width) &&
            mode.h == static_cast<int>(height)) {
            return true;
        }
    }
    return false;
}

bool SdlChangeDisplayMode(const tDisplayMode& mode) {
    return mode.width > 0 && mode.height > 0 &&
           DisplayOffers(static_cast<unsigned>(mode.width), static_cast<unsigned>(mode.height));
}

void SdlRestoreDisplayMode() {
    if (Window != nullptr && FullScreenWindow) {
        SDL_SetWindowFullscreen(Window, 0);
    }
}

void SdlSetDesktopFullScreen(bool on) {
    DesktopFullScreen = on;
}

bool SdlSetFullScreen(bool on, int x, int y, unsigned width, unsigned height) {
    if (Window == nullptr) {
        return false;
    }
    if (on && DesktopFullScreen) {
        if (SDL_SetWindowFullscreen(Window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            return false;
        }
        FullScreenWindow = true;
        return true;
    }
    if (on) {
        if (!DisplayOffers(width, height)) {
            return false;
        }
        SDL_DisplayMode mode{};
        if (SDL_GetDesktopDisplayMode(WindowDisplay(), &mode) == 0) {
            mode.w = static_cast<int>(width);
            mode.h = static_cast<int>(height);
            SDL_SetWindowDisplayMode(Window, &mode);
        }
        if (SDL_SetWindowFullscreen(Window, SDL_WINDOW_FULLSCREEN) != 0) {
            return false;
        }
        FullScreenWindow = true;
        return true;
    }
    if (SDL_SetWindowFullscreen(Window, 0) != 0) {
        return false;
    }
    FullScreenWindow = false;
    // A game that started full screen has a borderless window to turn into an ordinary one.
    SDL_SetWindowBordered(Window, SDL_TRUE);
    SDL_SetWindowResizable(Window, SDL_TRUE);
    SDL_SetWindowSize(Window, static_cast<int>(width), static_cast<int>(height));
    SDL_SetWindowPosition(Window, x, y);
    return true;
}

int SdlChoosePixelFormat(int colorBits, int depthBits) {
    (void)colorBits;
    (void)depthBits;
    // The window was created with the nearest framebuffer the driver offers.
    return Window != nullptr && (SDL_GetWindowFlags(Window) & SDL_WINDOW_OPENGL) != 0 ? 1 : 0;
}

bool SdlSetPixelFormat(int format) {
    return format == 1 && Window != nullptr;
}

bool SdlCreateContext() {
    if (Window == nullptr) {
        return false;
    }
    Context = SDL_GL_CreateContext(Window);
    if (Context == nullptr) {
        std::fprintf(stderr, "SDL GL context: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_MakeCurrent(Window, Context);
    return true;
}

void SdlReleaseContext() {
    if (Window != nullptr) {
        SDL_GL_MakeCurrent(Window, nullptr);
    }
}

void SdlDeleteContext() {
    if (Context != nullptr) {
        SDL_GL_DeleteContext(Context);
        Context = nullptr;
    }
}

void* SdlGetProcAddress(const char* name) {
    return VideoStarted ? SDL_GL_GetProcAddress(name) : nullptr;
}

const char* SdlContextString(bool extensions) {
    if (Context == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<const char*>(glGetString(extensions ? GL_EXTENSIONS : GL_VERSION));
}

void SdlSwapBuffers() {
    if (Window != nullptr) {
        SDL_GL_SwapWindow(Window);
    }
}

bool SdlSetSwapInterval(int interval) {
    return SDL_GL_SetSwapInterval(interval) == 0;
}

uint32_t SdlTimeMs() {
    return SDL_GetTicks();
}

double SdlRealTimeMs() {
    return static_cast<double>(SDL_GetPerformanceCounter()) * 1000.0 /
           static_cast<double>(SDL_GetPerformanceFrequency());
}

// The window goes; the video system itself stays until the process ends, so that a later
// window (the tests open several) starts quickly and the GL driver stays loaded.
void SdlShutdown() {
    if (Window != nullptr) {
        SDL_DestroyWindow(Window);
        Window = nullptr;
    }
}

const tPlatformBackend kSdlBackend = {
    .name = "sdl",
    .messageBox = SdlMessageBox,
    .createWindow = SdlCreateWindow,
    .showWindow = SdlShowWindow,
    .setWindowTitle = SdlSetWindowTitle,
    .clientSize = SdlClientSize,
    .clientOrigin = SdlClientOrigin,
    .pollEvent = SdlPollEvent,
    .showCursor = SdlShowCursor,
    .cursorPos = SdlCursorPos,
    .setCursorPos = SdlSetCursorPos,
    .keyDown = SdlKeyDown,
    .lookStick = SdlLookStick,
    .queryDisplayMode = SdlQueryDisplayMode,
    .changeDisplayMode = SdlChangeDisplayMode,
    .restoreDisplayMode = SdlRestoreDisplayMode,
    .setDesktopFullScreen = SdlSetDesktopFullScreen,
    .setFullScreen = SdlSetFullScreen,
    .choosePixelFormat = SdlChoosePixelFormat,
    .setPixelFormat = SdlSetPixelFormat,
    .createContext = SdlCreateContext,
    .releaseContext = SdlReleaseContext,
    .deleteContext = SdlDeleteContext,
    .getProcAddress = SdlGetProcAddress,
    .contextString = SdlContextString,
    .swapBuffers = SdlSwapBuffers,
    .setSwapInterval = SdlSetSwapInterval,
    .timeMs = SdlTimeMs,
    .tickCount = SdlTimeMs,
    .realTimeMs = SdlRealTimeMs,
    .shutdown = SdlShutdown,
};

} // namespace

const tPlatformBackend* SystemPlatform() {
    return &kSdlBackend;
}

const tPlatformBackend* SdlPlatform() {
    return &kSdlBackend;
}
