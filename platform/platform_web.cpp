// The platform backend in a web browser, on Emscripten's html5.h: the canvas is the window, keys
// are read by their physical code (as the desktop reads W A S D by scancode, whatever the
// layout), mouse look takes the pointer lock's relative motion, a game pad is read through the
// Gamepad API with the desktop's mapping (game_pad.h), and the page (tools/web/) shows the
// message boxes. The canvas keeps the game's own size; the page scales it to fit.
#include "platform/game_pad.h"
#include "platform/gl_api.h"
#include "platform/platform.h"
#include "platform/platform_web.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstring>

// The page's side (tools/web/page.js): its dialogs, its pause cover and the game's state.
EM_JS(int, PageDialog, (const char* text, const char* caption, int question), {
    var body = UTF8ToString(text);
    var title = UTF8ToString(caption);
    if (question) {
        return confirm(title + "\n\n" + body) ? 1 : 0;
    }
    if (Module.ostravelDialog) {
        Module.ostravelDialog(title, body);
    }
    return 1;
});
EM_JS(void, PagePaused, (int paused), {
    if (Module.ostravelPaused) {
        Module.ostravelPaused(paused);
    }
});
EM_JS(void, PageState, (const char* state, int exitCode), {
    if (Module.ostravelState) {
        Module.ostravelState(UTF8ToString(state), exitCode);
    }
});

// The context is made through Emscripten's browser layer, which also starts the GL emulation on
// it (a context from html5.h alone leaves the emulation without its matrices). Kept after
// presenting, so the page's screenshot button reads the frame shown.
EM_JS(int, PageCreateContext, (), {
    var attributes = {
        alpha : false,
        depth : true,
        antialias : false,
        preserveDrawingBuffer : true,
        majorVersion : 1
    };
    return Module.createContext(Module.canvas, true, true, attributes) ? 1 : 0;
});

namespace {

constexpr const char* kCanvas = "#canvas";
// Events wait here between two passes of the main loop; an animation frame rarely brings more
// than a handful.
constexpr int kEventQueue = 64;

tEvent Queue[kEventQueue];
int QueueHead = 0;
int QueueCount = 0;
bool QueueOverflowSaid = false;

bool KeysDown[kKeyCount];
// The cursor the game reads: moved by the pointer lock's relative motion, set by re-centring.
int CursorX = 0;
int CursorY = 0;
bool WindowMade = false;
bool PointerLocked = false;
bool Paused = false;
int CanvasWidth = 0;
int CanvasHeight = 0;
bool HasContext = false;

// The clocks leave out the time the game stood paused, so a pause is no step in the world.
double PausedSince = 0.0;
double PausedTotal = 0.0;

// The game pad in use, by its place in the browser's list: the first one with the standard
// layout (the one whose buttons and axes the Gamepad API names), kept until it goes, then the
// next one, as on the desktop. The list is looked through only when a pad came or went (the
// browser's events, and once at the start for a pad found while the page loaded), and sampled
// only while a pad is in use, so a player without one pays nothing a frame.
constexpr int kNoPad = -1;
constexpr int kPadLeftX = 0; // the standard layout's axes and buttons
constexpr int kPadLeftY = 1;
constexpr int kPadRightX = 2;
constexpr int kPadRightY = 3;
constexpr int kPadButtonA = 0;
constexpr int kPadButtonRightTrigger = 7;
constexpr int kPadButtonBack = 8;
int PadIndex = kNoPad;
bool PadsChanged = true;
EmscriptenGamepadEvent Pad; // the pad in use at the last sample
bool PadADown = false;
bool PadBackDown = false;
bool PadTriggerPulled = false;

void Push(const tEvent& event) {
    if (QueueCount == kEventQueue) {
        if (!QueueOverflowSaid) {
            std::fprintf(stderr, "browser: event queue full; events dropped\n");
            QueueOverflowSaid = true;
        }
        return;
    }
    Queue[(QueueHead + QueueCount) % kEventQueue] = event;
    ++QueueCount;
}

int KeyFromCode(const char* code) {
    static const char* const kCodes[kKeyCount] = {"ArrowUp", "ArrowDown", "ArrowLeft", "ArrowRight",
                                                  "KeyW",    "KeyS",      "KeyA",      "KeyD"};
    for (int k = 0; k < kKeyCount; ++k) {
        if (std::strcmp(code, kCodes[k]) == 0) {
            return k;
        }
    }
    return -1;
}

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* e, void*) {
    const int key = KeyFromCode(e->code);
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    if (key >= 0) {
        KeysDown[key] = down;
        return EM_TRUE; // no page scrolling under the arrow keys
    }
    // Escape, F11 and F12 belong to the browser (releasing the mouse, full screen, its tools);
    // the page gives buttons for full screen and screenshots. Any other key is a key press.
    if (down && !e->repeat && std::strcmp(e->code, "Escape") != 0 && e->code[0] != 'F') {
        tEvent event{};
        event.kind = kEventKeyDown;
        event.key = kKeyOther;
        Push(event);
    }
    return EM_FALSE;
}

EM_BOOL OnMouseDown(int, const EmscriptenMouseEvent* e, void*) {
    // The click that takes the pointer lock (and lets sound start) is no shot.
    if (!PointerLocked) {
        emscripten_request_pointerlock(kCanvas, EM_FALSE);
        return EM_TRUE;
    }
    tEvent event{};
    if (e->button == 0) {
        event.kind = kEventLeftButton;
    } else if (e->button == 2) {
        event.kind = kEventRightButton;
    } else {
        return EM_FALSE;
    }
    Push(event);
    return EM_TRUE;
}

EM_BOOL OnMouseMove(int, const EmscriptenMouseEvent* e, void*) {
    // Without the lock (a browser that refuses it) the pointer's motion over the page still turns.
    if (!Paused) {
        CursorX += e->movementX;
        CursorY += e->movementY;
    }
    return EM_FALSE;
}

void SetPaused(bool paused) {
    if (paused == Paused) {
        return;
    }
    Paused = paused;
    if (paused) {
        PausedSince = emscripten_get_now();
        // The paused page offers the recording so far: every line written reaches its file.
        std::fflush(nullptr);
    } else {
        PausedTotal += emscripten_get_now() - PausedSince;
    }
    PagePaused(paused ? 1 : 0);
}

EM_BOOL OnPointerLock(int, const EmscriptenPointerlockChangeEvent* e, void*) {
    PointerLocked = e->isActive != 0;
    // Losing the lock (the player's Escape) pauses; taking it again resumes.
    SetPaused(!PointerLocked);
    return EM_FALSE;
}

EM_BOOL OnFocus(int type, const EmscriptenFocusEvent*, void*) {
    tEvent event{};
    event.kind = kEventFocus;
    event.gained = type == EMSCRIPTEN_EVENT_FOCUS;
    if (!event.gained) {
        for (bool& down : KeysDown) {
            down = false; // a key released elsewhere never reaches the page
        }
    }
    Push(event);
    return EM_FALSE;
}

EM_BOOL OnPadPlugged(int type, const EmscriptenGamepadEvent* e, void*) {
    if (type == EMSCRIPTEN_EVENT_GAMEPADDISCONNECTED && e->index == PadIndex) {
        PadIndex = kNoPad;
    }
    PadsChanged = true;
    return EM_FALSE;
}

// Whether the pad at this place of the list is there with the standard layout; reads it into Pad.
bool ReadPad(int index) {
    return emscripten_get_gamepad_status(index, &Pad) == EMSCRIPTEN_RESULT_SUCCESS &&
           Pad.connected && std::strcmp(Pad.mapping, "standard") == 0 && Pad.numAxes > kPadRightY &&
           Pad.numButtons > kPadButtonBack;
}

// Once a frame, before the game reads its input: the pad's buttons become events (A and the
// right trigger shoot like the left button), and Back pauses the game as the player's Escape
// does (the desktop's Back quits; a page's game has no quitting of its own).
void SamplePad() {
    if (PadIndex == kNoPad && !PadsChanged) {
        return;
    }
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) {
        PadIndex = kNoPad;
        PadsChanged = false;
        return;
    }
    if (PadIndex != kNoPad && !ReadPad(PadIndex)) {
        PadIndex = kNoPad; // gone before its event came
        PadsChanged = true;
    }
    if (PadIndex == kNoPad) {
        PadsChanged = false;
        const int count = emscripten_get_num_gamepads();
        for (int i = 0; i < count && PadIndex == kNoPad; ++i) {
            if (ReadPad(i)) {
                PadIndex = i;
                // Buttons held while the pad arrives are no presses.
                PadADown = Pad.digitalButton[kPadButtonA];
                PadBackDown = Pad.digitalButton[kPadButtonBack];
                PadTriggerPulled = false;
            }
        }
        if (PadIndex == kNoPad) {
            return;
        }
    }
    const bool a = Pad.digitalButton[kPadButtonA];
    const bool trigger = PadTriggerShot(
        static_cast<float>(Pad.analogButton[kPadButtonRightTrigger]), &PadTriggerPulled);
    if ((a && !PadADown) || trigger) {
        tEvent event{};
        event.kind = kEventLeftButton;
        Push(event);
    }
    PadADown = a;
    const bool back = Pad.digitalButton[kPadButtonBack];
    if (back && !PadBackDown) {
        SetPaused(true);
        if (PointerLocked) {
            emscripten_exit_pointerlock();
        }
    }
    PadBackDown = back;
}

bool WebMessageBox(const char* text, const char* caption, tMessageButtons buttons,
                   tMessageAnswer* answer) {
    // The page shows the box as a dialog of its own; the game goes on, as with the default
    // answer. A question takes the browser's own confirm box, which waits.
    const int yes = PageDialog(text, caption, buttons == kButtonsYesNo ? 1 : 0);
    *answer = buttons == kButtonsYesNo ? (yes ? kAnswerYes : kAnswerNo) : kAnswerOk;
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return true;
}

bool WebCreateWindow(const char* title, unsigned width, unsigned height, bool, int, int) {
    CanvasWidth = static_cast<int>(width);
    CanvasHeight = static_cast<int>(height);
    if (emscripten_set_canvas_element_size(kCanvas, CanvasWidth, CanvasHeight) !=
        EMSCRIPTEN_RESULT_SUCCESS) {
        return false;
    }
    emscripten_set_window_title(title);
    const char* const window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, nullptr, EM_TRUE, OnKey);
    emscripten_set_keyup_callback(window, nullptr, EM_TRUE, OnKey);
    emscripten_set_mousedown_callback(kCanvas, nullptr, EM_TRUE, OnMouseDown);
    emscripten_set_mousemove_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE,
                                      OnMouseMove);
    emscripten_set_pointerlockchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE,
                                              OnPointerLock);
    emscripten_set_focus_callback(window, nullptr, EM_TRUE, OnFocus);
    emscripten_set_blur_callback(window, nullptr, EM_TRUE, OnFocus);
    emscripten_set_gamepadconnected_callback(nullptr, EM_TRUE, OnPadPlugged);
    emscripten_set_gamepaddisconnected_callback(nullptr, EM_TRUE, OnPadPlugged);
    WindowMade = true;
    return true;
}

void WebShowWindow() {}

void WebSetWindowTitle(const char* title) {
    emscripten_set_window_title(title);
}

void WebClientSize(int* width, int* height) {
    *width = CanvasWidth;
    *height = CanvasHeight;
}

void WebClientOrigin(int* x, int* y) {
    *x = 0;
    *y = 0;
}

bool WebPollEvent(tEvent* event) {
    // The queue runs empty once a frame, just before the frame reads the keys and sticks.
    if (QueueCount == 0) {
        SamplePad();
    }
    if (QueueCount == 0) {
        return false;
    }
    *event = Queue[QueueHead];
    QueueHead = (QueueHead + 1) % kEventQueue;
    --QueueCount;
    return true;
}

void WebShowCursor(bool) {}

void WebCursorPos(int* x, int* y) {
    *x = CursorX;
    *y = CursorY;
}

void WebSetCursorPos(int x, int y) {
    CursorX = x;
    CursorY = y;
}

bool WebKeyDown(tKey key) {
    return KeysDown[key] ||
           (PadIndex != kNoPad && PadStickKeyDown(static_cast<float>(Pad.axis[kPadLeftX]),
                                                  static_cast<float>(Pad.axis[kPadLeftY]), key));
}

void WebLookStick(float* x, float* y) {
    *x = 0.0f;
    *y = 0.0f;
    if (PadIndex != kNoPad) {
        *x = PadStickAxis(static_cast<float>(Pad.axis[kPadRightX]));
        *y = PadStickAxis(static_cast<float>(Pad.axis[kPadRightY]));
    }
}

bool WebQueryDisplayMode(tDisplayMode* mode) {
    mode->width = CanvasWidth;
    mode->height = CanvasHeight;
    mode->refreshRate = 60;
    return true;
}

// Full screen is the page's button: the canvas keeps its size and the page scales it.
bool WebChangeDisplayMode(const tDisplayMode&) {
    return false;
}
void WebRestoreDisplayMode() {}
void WebSetDesktopFullScreen(bool) {}
bool WebSetFullScreen(bool, int, int, unsigned, unsigned) {
    return false;
}

int WebChoosePixelFormat(int, int) {
    return 1;
}
bool WebSetPixelFormat(int) {
    return true;
}

bool WebCreateContext() {
    HasContext = PageCreateContext() != 0;
    if (!HasContext) {
        std::fprintf(stderr, "browser: WebGL refused\n");
    }
    return HasContext;
}

void WebReleaseContext() {}

// The context lives as long as the page.
void WebDeleteContext() {
    HasContext = false;
}

const char* WebContextString(bool extensions) {
    if (!HasContext) {
        return nullptr;
    }
    return reinterpret_cast<const char*>(glGetString(extensions ? GL_EXTENSIONS : GL_VERSION));
}

// The browser presents the canvas when the animation frame's callback returns.
void WebSwapBuffers() {}

bool WebSetSwapInterval(int) {
    return true;
}

uint32_t WebTimeMs() {
    const double paused = Paused ? emscripten_get_now() - PausedSince : 0.0;
    return static_cast<uint32_t>(
        static_cast<uint64_t>(emscripten_get_now() - PausedTotal - paused));
}

// The page's own clock, paused time included: a pause is no frame.
double WebRealTimeMs() {
    return emscripten_get_now();
}

void WebShutdown() {
    if (PointerLocked) {
        emscripten_exit_pointerlock();
    }
}

void* WebGetProcAddress(const char* name);

const tPlatformBackend kWebBackend = {
    .name = "browser",
    .messageBox = WebMessageBox,
    .createWindow = WebCreateWindow,
    .showWindow = WebShowWindow,
    .setWindowTitle = WebSetWindowTitle,
    .clientSize = WebClientSize,
    .clientOrigin = WebClientOrigin,
    .pollEvent = WebPollEvent,
    .showCursor = WebShowCursor,
    .cursorPos = WebCursorPos,
    .setCursorPos = WebSetCursorPos,
    .keyDown = WebKeyDown,
    .lookStick = WebLookStick,
    .queryDisplayMode = WebQueryDisplayMode,
    .changeDisplayMode = WebChangeDisplayMode,
    .restoreDisplayMode = WebRestoreDisplayMode,
    .setDesktopFullScreen = WebSetDesktopFullScreen,
    .setFullScreen = WebSetFullScreen,
    .choosePixelFormat = WebChoosePixelFormat,
    .setPixelFormat = WebSetPixelFormat,
    .createContext = WebCreateContext,
    .releaseContext = WebReleaseContext,
    .deleteContext = WebDeleteContext,
    .getProcAddress = WebGetProcAddress,
    .contextString = WebContextString,
    .swapBuffers = WebSwapBuffers,
    .setSwapInterval = WebSetSwapInterval,
    .timeMs = WebTimeMs,
    .tickCount = WebTimeMs,
    .realTimeMs = WebRealTimeMs,
    .shutdown = WebShutdown,
};

} // namespace

// Emscripten's own lookup, which also finds the emulation's entry points and drops the ARB suffix.
extern "C" void* emscripten_GetProcAddress(const char* name);

namespace {
// The entry points the emulation lacks come from the browser's GL shims.
void* WebGetProcAddress(const char* name) {
    void* shim = WebGlShimAddress(name);
    return shim != nullptr ? shim : emscripten_GetProcAddress(name);
}
} // namespace

const tPlatformBackend* WebPlatform() {
    return &kWebBackend;
}

const tPlatformBackend* SystemPlatform() {
    return &kWebBackend;
}

bool WebGamePaused() {
    return Paused;
}

void WebReportRunning() {
    PageState("running", 0);
}

void WebReportEnded(int exitCode) {
    PageState("ended", exitCode);
}
