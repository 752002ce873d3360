#include "app/platform.h"

#include <algorithm>
#include <cstdio>

namespace {

const tPlatformBackend* Backend = nullptr;

// ---- replay settings (whole run) ----
bool DialogsToStderr = false;
bool FixedStep = false;
uint32_t FixedStepMs = 0;
uint32_t FixedStepNow = 0;
bool RecordingClock = false;
uint32_t RecordingLastRealMs = 0;
bool SeedSet = false;
uint32_t Seed = 0;

// ---- the quit request ----
bool QuitPosted = false;
int QuitExitCode = 0;

// ---- input replay ----
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
uint32_t LastStickReadMs = 0;
bool CursorReadTaken = false;
int CursorReadDx = 0;
int CursorReadDy = 0;

// ---- focus and cursor ----
bool Focused = true;
bool CursorHiddenByGame = false;

// ---- the title ----
char TitleNote[512];
uint32_t TitleNoteUntil = 0;
char TitleBuffer[1024];

// Live keyboard and mouse events are dropped while a script plays, and so are the real
// window's moves: the cursor is the script's, and a recording carries its own moves.
bool IsLiveInput(const tEvent& event) {
    return event.kind == kEventKeyDown || event.kind == kEventLeftButton ||
           event.kind == kEventRightButton || event.kind == kEventMove;
}

void RecentrePoint(int* x, int* y) {
    if (!RecentrePointKnown) {
        int ox = 0, oy = 0, w = 0, h = 0;
        Backend->clientOrigin(&ox, &oy);
        Backend->clientSize(&w, &h);
        RecentreX = ox + w / 2;
        RecentreY = oy + h / 2;
    }
    *x = RecentreX;
    *y = RecentreY;
}

// Without the focus the player gets the cursor back; with it again the game takes it over,
// centred, so the next read finds no jump.
void FocusChanged(bool gained) {
    Focused = gained;
    if (!gained) {
        Backend->showCursor(true);
        return;
    }
    if (CursorHiddenByGame) {
        Backend->showCursor(false);
    }
    if (RecentrePointKnown && !LiveInputIgnored) {
        Backend->setCursorPos(RecentreX, RecentreY);
    }
}

} // namespace

void SelectPlatform(const tPlatformBackend* backend) {
    Backend = backend;
    QuitPosted = false;
    QuitExitCode = 0;
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
    SeedSet = false;
    CursorReadTaken = false;
    Focused = true;
    CursorHiddenByGame = false;
    TitleNote[0] = '\0';
    TitleNoteUntil = 0;
}

void SetDialogsToStderr(bool on) {
    DialogsToStderr = on;
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
        const uint32_t real = Backend->timeMs();
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
    RecordingLastRealMs = Backend->timeMs();
}

void SetRandomSeed(uint32_t seed) {
    SeedSet = true;
    Seed = seed;
}

uint32_t RandomSeed() {
    return SeedSet ? Seed : TimeMs();
}

tMessageAnswer ShowMessageBox(const char* text, const char* caption, tMessageButtons buttons) {
    tMessageAnswer answer = kAnswerOk;
    if (!DialogsToStderr && Backend->messageBox(text, caption, buttons, &answer)) {
        return answer;
    }
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    return buttons == kButtonsYesNo ? kAnswerYes : kAnswerOk;
}

void ShowError(const char* text) {
    ShowMessageBox(text, "Error", kButtonsOk);
}

bool CreateMainWindow(const char* title, unsigned width, unsigned height, bool fullScreen,
                      int colorBits, int depthBits) {
    return Backend->createWindow(title, width, height, fullScreen, colorBits, depthBits);
}

void ShowMainWindow() {
    Backend->showWindow();
}
void SetWindowTitle(const char* title) {
    if (TitleNote[0] != '\0' && TimeMs() < TitleNoteUntil) {
        std::snprintf(TitleBuffer, sizeof(TitleBuffer), "%s  -  %s", title, TitleNote);
        Backend->setWindowTitle(TitleBuffer);
        return;
    }
    Backend->setWindowTitle(title);
}

void ShowTitleNote(const char* note, uint32_t durationMs) {
    std::snprintf(TitleNote, sizeof(TitleNote), "%s", note);
    TitleNoteUntil = TimeMs() + durationMs;
}
void GetClientSize(int* width, int* height) {
    Backend->clientSize(width, height);
}
void GetClientOrigin(int* x, int* y) {
    Backend->clientOrigin(x, y);
}

bool PollEvent(tEvent* event) {
    if (InjectedCount > 0) {
        *event = InjectedQueue[InjectedHead];
        InjectedHead = (InjectedHead + 1) % kInjectedQueueSize;
        --InjectedCount;
        return true;
    }
    while (Backend->pollEvent(event)) {
        if (LiveInputIgnored && IsLiveInput(*event)) {
            continue;
        }
        if (event->kind == kEventFocus) {
            FocusChanged(event->gained);
        }
        return true;
    }
    // The quit request comes once nothing else waits, as the system's own queue delivers it.
    if (QuitPosted) {
        *event = tEvent{};
        event->kind = kEventQuit;
        event->exitCode = QuitExitCode;
        return true;
    }
    return false;
}

void PostQuitRequest(int exitCode) {
    if (!QuitPosted) {
        QuitPosted = true;
        QuitExitCode = exitCode;
    }
}

bool QuitRequested() {
    return QuitPosted;
}

void SetCursorVisible(bool show) {
    CursorHiddenByGame = !show;
    if (Focused || show) {
        Backend->showCursor(show);
    }
}

void GetCursorPos(int* x, int* y) {
    if (!LiveInputIgnored) {
        int centreX = 0, centreY = 0;
        RecentrePoint(&centreX, &centreY);
        if (Focused) {
            Backend->cursorPos(x, y);
            // The stick's travel since the last read, at most a tenth of a second of it (the
            // first read, or one after a long load).
            const uint32_t now = TimeMs();
            const float seconds =
                static_cast<float>(std::min(now - LastStickReadMs, 100u)) / 1000.0f;
            LastStickReadMs = now;
            float stickX = 0.0f, stickY = 0.0f;
            Backend->lookStick(&stickX, &stickY);
            *x += static_cast<int>(stickX * kStickPixelsPerSecond * seconds);
            *y += static_cast<int>(stickY * kStickPixelsPerSecond * seconds);
        } else {
            *x = centreX;
            *y = centreY;
        }
        CursorReadTaken = true;
        CursorReadDx = *x - centreX;
        CursorReadDy = *y - centreY;
        return;
    }
    RecentrePoint(x, y);
    if (VirtualCursorMoved) {
        *x += VirtualDx;
        *y += VirtualDy;
    }
}

void SetCursorPos(int x, int y) {
    RecentrePointKnown = true;
    RecentreX = x;
    RecentreY = y;
    VirtualCursorMoved = false;
    if (!LiveInputIgnored && Focused) {
        Backend->setCursorPos(x, y);
    }
}

bool IsKeyDown(tKey key) {
    if (LiveInputIgnored) {
        return VirtualKeys[key];
    }
    return Backend->keyDown(key);
}

bool WindowHasFocus() {
    return LiveInputIgnored || Focused;
}

bool QueryDisplayMode(tDisplayMode* mode) {
    return Backend->queryDisplayMode(mode);
}
bool ChangeDisplayMode(unsigned width, unsigned height) {
    return Backend->changeDisplayMode(width, height);
}
void RestoreDisplayMode() {
    Backend->restoreDisplayMode();
}
bool SetWindowFullScreen(bool on, int x, int y, unsigned width, unsigned height) {
    return Backend->setFullScreen(on, x, y, width, height);
}

int ChoosePixelFormat(int colorBits, int depthBits) {
    return Backend->choosePixelFormat(colorBits, depthBits);
}
bool SetPixelFormat(int format) {
    return Backend->setPixelFormat(format);
}
bool CreateContext() {
    return Backend->createContext();
}
void ReleaseContext() {
    Backend->releaseContext();
}
void DeleteContext() {
    Backend->deleteContext();
}
void* GetGLProcAddress(const char* name) {
    return Backend->getProcAddress(name);
}
const char* GetContextString(bool extensions) {
    return Backend->contextString(extensions);
}
void SwapGLBuffers() {
    Backend->swapBuffers();
}
bool SetSwapInterval(int interval) {
    return Backend->setSwapInterval(interval);
}

uint32_t TimeMs() {
    return FixedStep ? FixedStepNow : Backend->timeMs();
}
uint32_t TickCount() {
    return FixedStep ? FixedStepNow : Backend->tickCount();
}

bool GetWorkingDir(char* buffer, size_t size) {
    return Backend->workingDir(buffer, size);
}
bool ChangeWorkingDir(const char* path) {
    return Backend->changeDir(path);
}

void ShutdownPlatform() {
    Backend->shutdown();
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

bool TakeCursorReadOffset(int* dx, int* dy) {
    if (!CursorReadTaken) {
        return false;
    }
    CursorReadTaken = false;
    *dx = CursorReadDx;
    *dy = CursorReadDy;
    return true;
}

void SetVirtualCursorOffset(int dx, int dy) {
    VirtualCursorMoved = true;
    VirtualDx = dx;
    VirtualDy = dy;
}
