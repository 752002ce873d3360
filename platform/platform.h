// The one door to the operating system: window, events, cursor, keys, display mode, GL context,
// clocks and message boxes. Two backends fill it: SDL2 (the real game) and a
// test backend (virtual clock, keys and cursor, recorded boxes and titles, an injectable event
// queue). Game code calls the free functions below and never asks which backend runs.
//
// Around the backend this layer keeps what the game expects of any window: boxes that cannot show
// go to standard error, the cursor is left alone without the focus, title notes expire, and the
// quit request comes last. The replay tools (a fixed-step clock, scripted input, frame captures)
// are a backend of their own that wraps another one: replay/replay_platform.h.
#pragma once

#include <cstddef>
#include <cstdint>

// The eight movement keys the game polls each frame.
enum tKey { kKeyUp, kKeyDown, kKeyLeft, kKeyRight, kKeyW, kKeyS, kKeyA, kKeyD, kKeyCount };

// The game's own few window events; every other system event is handled by the backend itself.
enum tEventKind {
    kEventQuit,        // the quit request; carries exitCode
    kEventClose,       // the window's close button or the system's close command
    kEventKeyDown,     // a key press; key holds kKeyEscape, kKeyScreenshot or kKeyOther
    kEventLeftButton,  // left mouse button pressed
    kEventRightButton, // right mouse button pressed
    kEventResize,      // the client area changed to width x height
    kEventMove,        // the window moved on the screen; its size is unchanged
    kEventFocus,       // the window gained (gained == true) or lost the keyboard focus
};

constexpr int kKeyEscape = 27;
constexpr int kKeyScreenshot = 123; // F12
constexpr int kKeyFullScreen = 122; // F11, or Enter with Alt held
constexpr int kKeyOther = 0;

struct tEvent {
    tEventKind kind;
    int key;      // kEventKeyDown
    int width;    // kEventResize
    int height;   // kEventResize
    int exitCode; // kEventQuit
    bool gained;  // kEventFocus
};

enum tMessageButtons { kButtonsOk, kButtonsYesNo };
enum tMessageAnswer { kAnswerOk, kAnswerYes, kAnswerNo };

// A display mode as the system reports it.
struct tDisplayMode {
    int width;
    int height;
    int refreshRate;
};

// The backend's side of the interface. Each entry is required.
struct tPlatformBackend {
    const char* name;
    // Modal box with no owner; kButtonsYesNo shows the question icon, an "Error" caption the
    // error icon. False when the system could not show it (no display, no fonts).
    bool (*messageBox)(const char* text, const char* caption, tMessageButtons buttons,
                       tMessageAnswer* answer);
    // Creates the one window with a client area of exactly width x height, at (0, 0); full
    // screen gives a borderless window over the whole display. colorBits and depthBits are the
    // framebuffer the GL context will want (some systems fix it with the window).
    bool (*createWindow)(const char* title, unsigned width, unsigned height, bool fullScreen,
                         int colorBits, int depthBits);
    void (*showWindow)();
    void (*setWindowTitle)(const char* title);
    void (*clientSize)(int* width, int* height);
    // The client area's top-left corner in screen pixels.
    void (*clientOrigin)(int* x, int* y);
    // Non-blocking: takes the next event, or returns false when none waits.
    bool (*pollEvent)(tEvent* event);
    void (*showCursor)(bool show);
    void (*cursorPos)(int* x, int* y);
    void (*setCursorPos)(int x, int y);
    // A movement key is down, or a game controller's left stick points its way.
    bool (*keyDown)(tKey key);
    // A game controller's right stick, each axis -1 ... 1 past its dead zone (0, 0 without one).
    void (*lookStick)(float* x, float* y);
    // The desktop's mode on the display the window is on (before there is a window, the one it
    // will open on).
    bool (*queryDisplayMode)(tDisplayMode* mode);
    // Whether the window's display can switch to the mode's width x height for the full-screen
    // window.
    bool (*changeDisplayMode)(const tDisplayMode& mode);
    void (*restoreDisplayMode)();
    // From now on full screen (createWindow's and setFullScreen's) covers the desktop at its own
    // size without changing the display mode (on), or switches the mode (off, the start).
    void (*setDesktopFullScreen)(bool on);
    // Switches the window to full screen at the display mode width x height, or back to a
    // window whose client area is width x height at (x, y). False when the display refuses.
    bool (*setFullScreen)(bool on, int x, int y, unsigned width, unsigned height);
    // Framebuffer configuration: a format id (0: none) for the request, then setting it.
    int (*choosePixelFormat)(int colorBits, int depthBits);
    bool (*setPixelFormat)(int format);
    bool (*createContext)();
    void (*releaseContext)();
    void (*deleteContext)();
    void* (*getProcAddress)(const char* name);
    // The current context's GL_VERSION or GL_EXTENSIONS string; nullptr without a context.
    const char* (*contextString)(bool extensions);
    void (*swapBuffers)();
    bool (*setSwapInterval)(int interval);
    uint32_t (*timeMs)();
    uint32_t (*tickCount)();
    // Milliseconds of the real clock since a fixed point, finer than one: what a frame's drawing
    // takes. No replay clock stands in for it.
    double (*realTimeMs)();
    void (*shutdown)();
};

// ---- selecting the backend -------------------------------------------------------------------

// The SDL2 backend.
const tPlatformBackend* SdlPlatform();
// The real backend of this build, which the game's entry point selects: SDL2 on the desktop, the
// browser's (platform_web.cpp) in the browser build.
const tPlatformBackend* SystemPlatform();
// The test backend (see platform_test.h for its controls).
const tPlatformBackend* TestPlatform();
void SelectPlatform(const tPlatformBackend* backend);

// ---- set from the command line before start-up
// ---------------------------------------------------

// Message boxes go to standard error as "CAPTION: TEXT" and take their default answer.
void SetDialogsToStderr(bool on);
// The seed of the random generator at world loading: the one set here, otherwise the clock.
void SetRandomSeed(uint32_t seed);
uint32_t RandomSeed();

// ---- the interface the game calls ---------------------------------------------------------------

// A box the system cannot show is written to standard error as with SetDialogsToStderr, and
// takes the same default answer, so its text is never lost.
tMessageAnswer ShowMessageBox(const char* text, const char* caption, tMessageButtons buttons);
// The game's usual loading-error box: caption "Error", OK button.
void ShowError(const char* text);
// The same for a problem with the game's data, after the data directory's name the first time
// (NameDataRootOnce).
void ShowDataError(const char* text);
bool CreateMainWindow(const char* title, unsigned width, unsigned height, bool fullScreen,
                      int colorBits, int depthBits);
void ShowMainWindow();
// While a note is showing (see ShowTitleNote) the title carries it after the game's own text.
void SetWindowTitle(const char* title);
// Shows a short note in the window title for durationMs milliseconds of the clock.
void ShowTitleNote(const char* note, uint32_t durationMs);
void GetClientOrigin(int* x, int* y);

// Next event: the backend's, then a posted quit request. While the window is without the keyboard
// focus the cursor is neither hidden nor re-centred, and cursor reads find it at rest, so mouse
// look takes no step from the jump when focus returns.
bool PollEvent(tEvent* event);
// Posts the quit request: PollEvent returns it once nothing else waits.
void PostQuitRequest(int exitCode);
bool QuitRequested();

void SetCursorVisible(bool show);
// The cursor in screen pixels; a game controller's right stick moves it on from the last
// re-centring point by kStickPixelsPerSecond at full tilt, so it turns the view as the mouse does
// (a fraction of a pixel is carried to the next read).
void GetCursorPos(int* x, int* y);
constexpr float kStickPixelsPerSecond = 1500.0f;
void SetCursorPos(int x, int y);
bool IsKeyDown(tKey key);
// Whether the window has the keyboard focus (true until the backend says otherwise).
bool WindowHasFocus();

bool QueryDisplayMode(tDisplayMode* mode);
bool ChangeDisplayMode(const tDisplayMode& mode);
void RestoreDisplayMode();
bool SetWindowFullScreen(bool on, int x, int y, unsigned width, unsigned height);
void SetDesktopFullScreen(bool on);

int ChoosePixelFormat(int colorBits, int depthBits);
bool SetPixelFormat(int format);
bool CreateContext();
void ReleaseContext();
void DeleteContext();
void* GetGLProcAddress(const char* name);
const char* GetContextString(bool extensions);
void SwapGLBuffers();
bool SetSwapInterval(int interval);

// Milliseconds since a fixed point: the world and frame-timer clock, and the animation tick count.
uint32_t TimeMs();
uint32_t TickCount();
// The real clock in milliseconds, finer than one, whatever clock the world follows: for measuring
// how long the drawing takes.
double RealTimeMs();

void ShutdownPlatform();

// ---- the display going away
// ----------------------------------------------------------------------

// Called when the connection to the display breaks under the game (the X server ended, the
// session closed), with the window system's words for it. Nothing can be drawn or asked after
// that, so the handler ends the process itself; where it returns, or none is set, the window
// system's own default ends it.
using tDisplayLostHandler = void (*)(const char* what);
void SetDisplayLostHandler(tDisplayLostHandler handler);
// The backends' side: the display has gone.
void DisplayLost(const char* what);

// ---- recording ----------------------------------------------------------------------------------

// For a recording: where the live cursor was, against the last re-centring point, at the
// latest read since the previous call; false when there was no read.
bool TakeCursorReadOffset(int* dx, int* dy);
