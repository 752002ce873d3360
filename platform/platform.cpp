#include "platform/platform.h"

#include "platform/data_path.h"

#include <algorithm>
#include <cstdio>

namespace {

const tPlatformBackend* Backend = nullptr;

// ---- set from the command line (whole run) ----
bool DialogsToStderr = false;
bool SeedSet = false;
uint32_t Seed = 0;

// ---- the display's loss (whole run) ----
tDisplayLostHandler DisplayLostHandler = nullptr;

// ---- the quit request ----
bool QuitPosted = false;
int QuitExitCode = 0;

// ---- the cursor's re-centring point and the reads a recording takes ----
bool RecentrePointKnown = false;
int RecentreX = 0;
int RecentreY = 0;
uint32_t LastStickReadMs = 0;
// The stick's travel that did not make a whole pixel yet, carried to the next read.
float StickRestX = 0.0f;
float StickRestY = 0.0f;
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
    if (RecentrePointKnown) {
        Backend->setCursorPos(RecentreX, RecentreY);
    }
}

} // namespace

void SelectPlatform(const tPlatformBackend* backend) {
    Backend = backend;
    QuitPosted = false;
    QuitExitCode = 0;
    RecentrePointKnown = false;
    SeedSet = false;
    CursorReadTaken = false;
    StickRestX = 0.0f;
    StickRestY = 0.0f;
    Focused = true;
    CursorHiddenByGame = false;
    TitleNote[0] = '\0';
    TitleNoteUntil = 0;
}

void SetDialogsToStderr(bool on) {
    DialogsToStderr = on;
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

void ShowDataError(const char* text) {
    NameDataRootOnce();
    ShowError(text);
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
void GetClientOrigin(int* x, int* y) {
    Backend->clientOrigin(x, y);
}

bool PollEvent(tEvent* event) {
    if (Backend->pollEvent(event)) {
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
    int centreX = 0, centreY = 0;
    RecentrePoint(&centreX, &centreY);
    if (Focused) {
        Backend->cursorPos(x, y);
        // The stick's travel since the last read, at most a tenth of a second of it (the first
        // read, or one after a long load).
        const uint32_t now = TimeMs();
        const float seconds = static_cast<float>(std::min(now - LastStickReadMs, 100u)) / 1000.0f;
        LastStickReadMs = now;
        float stickX = 0.0f, stickY = 0.0f;
        Backend->lookStick(&stickX, &stickY);
        // Whole pixels move the cursor; the fraction waits for the next read, so that a slight
        // tilt turns the view at any frame rate, and as fast at every rate.
        const float travelX = stickX * kStickPixelsPerSecond * seconds + StickRestX;
        const float travelY = stickY * kStickPixelsPerSecond * seconds + StickRestY;
        const int pixelsX = static_cast<int>(travelX);
        const int pixelsY = static_cast<int>(travelY);
        StickRestX = travelX - static_cast<float>(pixelsX);
        StickRestY = travelY - static_cast<float>(pixelsY);
        *x += pixelsX;
        *y += pixelsY;
    } else {
        *x = centreX;
        *y = centreY;
    }
    CursorReadTaken = true;
    CursorReadDx = *x - centreX;
    CursorReadDy = *y - centreY;
}

void SetCursorPos(int x, int y) {
    RecentrePointKnown = true;
    RecentreX = x;
    RecentreY = y;
    if (Focused) {
        Backend->setCursorPos(x, y);
    }
}

bool IsKeyDown(tKey key) {
    return Backend->keyDown(key);
}

bool WindowHasFocus() {
    return Focused;
}

bool QueryDisplayMode(tDisplayMode* mode) {
    return Backend->queryDisplayMode(mode);
}
bool ChangeDisplayMode(const tDisplayMode& mode) {
    return Backend->changeDisplayMode(mode);
}
void RestoreDisplayMode() {
    Backend->restoreDisplayMode();
}
bool SetWindowFullScreen(bool on, int x, int y, unsigned width, unsigned height) {
    return Backend->setFullScreen(on, x, y, width, height);
}
void SetDesktopFullScreen(bool on) {
    Backend->setDesktopFullScreen(on);
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
    return Backend->timeMs();
}
uint32_t TickCount() {
    return Backend->tickCount();
}
double RealTimeMs() {
    return Backend->realTimeMs();
}

void ShutdownPlatform() {
    Backend->shutdown();
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

void SetDisplayLostHandler(tDisplayLostHandler handler) {
    DisplayLostHandler = handler;
}

void DisplayLost(const char* what) {
    if (DisplayLostHandler != nullptr) {
        DisplayLostHandler(what);
    }
}
