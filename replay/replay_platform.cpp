#include "replay/replay_platform.h"

#include "replay/capture.h"

#include <cstdio>

namespace {

const tPlatformBackend* Inner = nullptr;

// ---- the clock (whole run; the step survives a new selection, the time starts at 0) ----
bool FixedStep = false;
uint32_t FixedStepMs = 0;
uint32_t FixedStepNow = 0;
bool RecordingClock = false;
uint32_t RecordingLastRealMs = 0;

// ---- scripted input (from one selection to the next) ----
constexpr int kInjectedQueueSize = 256;
tEvent InjectedQueue[kInjectedQueueSize];
int InjectedHead = 0;
int InjectedCount = 0;
bool InjectedOverflowSaid = false;

bool LiveInputIgnored = false;
bool VirtualKeys[kKeyCount];
bool VirtualCursorMoved = false;
int VirtualDx = 0;
int VirtualDy = 0;
bool RecentrePointKnown = false;
int RecentreX = 0;
int RecentreY = 0;

// Live keyboard and mouse events are dropped while a script plays, and so are the real
// window's moves and focus changes: the cursor is the script's, and a recording carries its
// own moves.
bool IsLiveInput(const tEvent& event) {
    return event.kind == kEventKeyDown || event.kind == kEventLeftButton ||
           event.kind == kEventRightButton || event.kind == kEventMove || event.kind == kEventFocus;
}

bool ReplayMessageBox(const char* text, const char* caption, tMessageButtons buttons,
                      tMessageAnswer* answer) {
    return Inner->messageBox(text, caption, buttons, answer);
}
bool ReplayCreateWindow(const char* title, unsigned width, unsigned height, bool fullScreen,
                        int colorBits, int depthBits) {
    return Inner->createWindow(title, width, height, fullScreen, colorBits, depthBits);
}
void ReplayShowWindow() {
    Inner->showWindow();
}
void ReplaySetWindowTitle(const char* title) {
    Inner->setWindowTitle(title);
}
void ReplayClientSize(int* width, int* height) {
    Inner->clientSize(width, height);
}
void ReplayClientOrigin(int* x, int* y) {
    Inner->clientOrigin(x, y);
}

bool ReplayPollEvent(tEvent* event) {
    if (InjectedCount > 0) {
        *event = InjectedQueue[InjectedHead];
        InjectedHead = (InjectedHead + 1) % kInjectedQueueSize;
        --InjectedCount;
        return true;
    }
    while (Inner->pollEvent(event)) {
        if (LiveInputIgnored && IsLiveInput(*event)) {
            continue;
        }
        return true;
    }
    return false;
}

void ReplayShowCursor(bool show) {
    Inner->showCursor(show);
}

// While a script plays the cursor sits at the last re-centring point (the window's middle until
// the game first re-centres it), moved by the script's offset.
void ReplayCursorPos(int* x, int* y) {
    if (!LiveInputIgnored) {
        Inner->cursorPos(x, y);
        return;
    }
    if (RecentrePointKnown) {
        *x = RecentreX;
        *y = RecentreY;
    } else {
        int ox = 0, oy = 0, w = 0, h = 0;
        Inner->clientOrigin(&ox, &oy);
        Inner->clientSize(&w, &h);
        *x = ox + w / 2;
        *y = oy + h / 2;
    }
    if (VirtualCursorMoved) {
        *x += VirtualDx;
        *y += VirtualDy;
    }
}

void ReplaySetCursorPos(int x, int y) {
    RecentrePointKnown = true;
    RecentreX = x;
    RecentreY = y;
    VirtualCursorMoved = false;
    if (!LiveInputIgnored) {
        Inner->setCursorPos(x, y);
    }
}

bool ReplayKeyDown(tKey key) {
    return LiveInputIgnored ? VirtualKeys[key] : Inner->keyDown(key);
}

void ReplayLookStick(float* x, float* y) {
    if (LiveInputIgnored) {
        *x = 0.0f;
        *y = 0.0f;
        return;
    }
    Inner->lookStick(x, y);
}

bool ReplayQueryDisplayMode(tDisplayMode* mode) {
    return Inner->queryDisplayMode(mode);
}
bool ReplayChangeDisplayMode(const tDisplayMode& mode) {
    return Inner->changeDisplayMode(mode);
}
void ReplayRestoreDisplayMode() {
    Inner->restoreDisplayMode();
}
void ReplaySetDesktopFullScreen(bool on) {
    Inner->setDesktopFullScreen(on);
}
bool ReplaySetFullScreen(bool on, int x, int y, unsigned width, unsigned height) {
    return Inner->setFullScreen(on, x, y, width, height);
}
int ReplayChoosePixelFormat(int colorBits, int depthBits) {
    return Inner->choosePixelFormat(colorBits, depthBits);
}
bool ReplaySetPixelFormat(int format) {
    return Inner->setPixelFormat(format);
}
bool ReplayCreateContext() {
    return Inner->createContext();
}
void ReplayReleaseContext() {
    Inner->releaseContext();
}
void ReplayDeleteContext() {
    Inner->deleteContext();
}
void* ReplayGetProcAddress(const char* name) {
    return Inner->getProcAddress(name);
}
const char* ReplayContextString(bool extensions) {
    return Inner->contextString(extensions);
}

// The frames asked for (--capture, F12) are read from the back buffer before it is shown.
void ReplaySwapBuffers() {
    WriteRequestedFrames();
    Inner->swapBuffers();
}

bool ReplaySetSwapInterval(int interval) {
    return Inner->setSwapInterval(interval);
}
uint32_t ReplayTimeMs() {
    return FixedStep ? FixedStepNow : Inner->timeMs();
}
uint32_t ReplayTickCount() {
    return FixedStep ? FixedStepNow : Inner->tickCount();
}
// Always the real one: the drawing's time is never the fixed step's.
double ReplayRealTimeMs() {
    return Inner->realTimeMs();
}
void ReplayShutdown() {
    Inner->shutdown();
}

tPlatformBackend ReplayBackend = {
    .name = nullptr,
    .messageBox = ReplayMessageBox,
    .createWindow = ReplayCreateWindow,
    .showWindow = ReplayShowWindow,
    .setWindowTitle = ReplaySetWindowTitle,
    .clientSize = ReplayClientSize,
    .clientOrigin = ReplayClientOrigin,
    .pollEvent = ReplayPollEvent,
    .showCursor = ReplayShowCursor,
    .cursorPos = ReplayCursorPos,
    .setCursorPos = ReplaySetCursorPos,
    .keyDown = ReplayKeyDown,
    .lookStick = ReplayLookStick,
    .queryDisplayMode = ReplayQueryDisplayMode,
    .changeDisplayMode = ReplayChangeDisplayMode,
    .restoreDisplayMode = ReplayRestoreDisplayMode,
    .setDesktopFullScreen = ReplaySetDesktopFullScreen,
    .setFullScreen = ReplaySetFullScreen,
    .choosePixelFormat = ReplayChoosePixelFormat,
    .setPixelFormat = ReplaySetPixelFormat,
    .createContext = ReplayCreateContext,
    .releaseContext = ReplayReleaseContext,
    .deleteContext = ReplayDeleteContext,
    .getProcAddress = ReplayGetProcAddress,
    .contextString = ReplayContextString,
    .swapBuffers = ReplaySwapBuffers,
    .setSwapInterval = ReplaySetSwapInterval,
    .timeMs = ReplayTimeMs,
    .tickCount = ReplayTickCount,
    .realTimeMs = ReplayRealTimeMs,
    .shutdown = ReplayShutdown,
};

} // namespace

const tPlatformBackend* ReplayPlatform(const tPlatformBackend* inner) {
    Inner = inner;
    ReplayBackend.name = inner->name;
    InjectedHead = 0;
    InjectedCount = 0;
    InjectedOverflowSaid = false;
    LiveInputIgnored = false;
    for (bool& key : VirtualKeys) {
        key = false;
    }
    VirtualCursorMoved = false;
    RecentrePointKnown = false;
    FixedStepNow = 0;
    RecordingClock = false;
    return &ReplayBackend;
}

void SetFixedStep(uint32_t stepMs) {
    FixedStep = true;
    FixedStepMs = stepMs;
    FixedStepNow = 0;
}

bool FixedStepActive() {
    return FixedStep;
}

uint32_t AdvanceFixedStep() {
    if (RecordingClock) {
        const uint32_t real = Inner->timeMs();
        FixedStepMs = real - RecordingLastRealMs;
        RecordingLastRealMs = real;
    }
    if (!FixedStep) {
        return 0;
    }
    FixedStepNow += FixedStepMs;
    return FixedStepMs;
}

void SetNextFrameStep(uint32_t stepMs) {
    FixedStep = true;
    FixedStepMs = stepMs;
}

void SetRecordingClock() {
    SetFixedStep(0);
    RecordingClock = true;
    RecordingLastRealMs = Inner->timeMs();
}

void SetLiveInputIgnored(bool ignored) {
    LiveInputIgnored = ignored;
}

void InjectEvent(const tEvent& event) {
    if (InjectedCount == kInjectedQueueSize) {
        if (!InjectedOverflowSaid) {
            std::fprintf(stderr, "input queue full: events dropped\n");
            InjectedOverflowSaid = true;
        }
        return;
    }
    InjectedQueue[(InjectedHead + InjectedCount) % kInjectedQueueSize] = event;
    ++InjectedCount;
}

void SetVirtualKey(tKey key, bool down) {
    VirtualKeys[key] = down;
}

void SetVirtualCursorOffset(int dx, int dy) {
    VirtualCursorMoved = true;
    VirtualDx = dx;
    VirtualDy = dy;
}
