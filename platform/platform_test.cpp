#include "platform/platform_test.h"

#include <cstring>

namespace {

tTestPlatformState State;

void Record(const char* call) {
    State.calls.emplace_back(call);
}

bool TestMessageBox(const char* text, const char* caption, tMessageButtons buttons,
                    tMessageAnswer* answer) {
    if (State.failMessageBox) {
        return false;
    }
    State.boxes.push_back({caption, text, buttons});
    *answer = kAnswerOk;
    if (buttons == kButtonsOk) {
        return true;
    }
    *answer = kAnswerYes;
    if (!State.answers.empty()) {
        *answer = State.answers.front();
        State.answers.erase(State.answers.begin());
    }
    return true;
}

bool TestCreateWindow(const char* title, unsigned width, unsigned height, bool fullScreen,
                      int colorBits, int depthBits) {
    Record("createWindow");
    if (State.failCreateWindow) {
        return false;
    }
    State.titles.emplace_back(title);
    State.windowCreated = true;
    State.fullScreen = fullScreen;
    State.clientWidth = static_cast<int>(width);
    State.clientHeight = static_cast<int>(height);
    State.colorBits = colorBits;
    State.depthBits = depthBits;
    return true;
}

void TestShowWindow() {
    Record("showWindow");
}
void TestSetWindowTitle(const char* title) {
    State.titles.emplace_back(title);
}

void TestClientSize(int* width, int* height) {
    *width = State.clientWidth;
    *height = State.clientHeight;
}

void TestClientOrigin(int* x, int* y) {
    *x = State.originX;
    *y = State.originY;
}

bool TestPollEvent(tEvent* event) {
    if (State.nextEvent >= State.events.size()) {
        return false;
    }
    *event = State.events[State.nextEvent++];
    return true;
}

void TestShowCursor(bool show) {
    Record(show ? "showCursor" : "hideCursor");
    State.cursorVisible = show;
}

void TestCursorPos(int* x, int* y) {
    *x = State.cursorX;
    *y = State.cursorY;
}

void TestSetCursorPos(int x, int y) {
    State.cursorX = x;
    State.cursorY = y;
}

bool TestKeyDown(tKey key) {
    return State.keys[key];
}

void TestLookStick(float* x, float* y) {
    *x = State.lookStickX;
    *y = State.lookStickY;
}

bool TestQueryDisplayMode(tDisplayMode* mode) {
    if (State.failQueryDisplayMode) {
        return false;
    }
    *mode = State.displays[State.windowDisplay];
    return true;
}

bool TestChangeDisplayMode(const tDisplayMode& mode) {
    Record("changeDisplayMode");
    State.askedMode = mode;
    return !State.failChangeDisplayMode;
}

void TestRestoreDisplayMode() {
    Record("restoreDisplayMode");
}

void TestSetDesktopFullScreen(bool on) {
    Record(on ? "desktopFullScreen" : "modeFullScreen");
}

bool TestSetFullScreen(bool on, int x, int y, unsigned width, unsigned height) {
    Record(on ? "fullScreenOn" : "fullScreenOff");
    if (on && State.failChangeDisplayMode) {
        return false;
    }
    State.fullScreen = on;
    State.originX = on ? 0 : x;
    State.originY = on ? 0 : y;
    State.clientWidth = static_cast<int>(width);
    State.clientHeight = static_cast<int>(height);
    return true;
}

int TestChoosePixelFormat(int colorBits, int depthBits) {
    Record("choosePixelFormat");
    State.colorBits = colorBits;
    State.depthBits = depthBits;
    return State.failChoosePixelFormat ? 0 : 1;
}

bool TestSetPixelFormat(int) {
    Record("setPixelFormat");
    return !State.failSetPixelFormat;
}

bool TestCreateContext() {
    Record("createContext");
    return true;
}

void TestReleaseContext() {
    Record("releaseContext");
}
void TestDeleteContext() {
    Record("deleteContext");
}

// Stand-ins for the two multitexture entry points; no test calls them.
void FakeEntryPoint() {}

// Like the GL dispatch library, every name gives an entry point, whatever the context offers.
void* TestGetProcAddress(const char* name) {
    (void)name;
    return reinterpret_cast<void*>(&FakeEntryPoint);
}

const char* TestContextString(bool extensions) {
    if (State.noMultitexture) {
        return extensions ? "GL_EXT_texture GL_ARB_multitexture_plus" : "1.2 Test";
    }
    return extensions ? State.glExtensions : State.glVersion;
}

void TestSwapBuffers() {
    ++State.swaps;
}
bool TestSetSwapInterval(int) {
    return true;
}
uint32_t TestTimeMs() {
    return State.timeMs;
}
uint32_t TestTickCount() {
    return State.tickCount;
}
double TestRealTimeMs() {
    return static_cast<double>(State.timeMs);
}
void TestShutdown() {
    Record("shutdown");
}

const tPlatformBackend kTestBackend = {
    .name = "test",
    .messageBox = TestMessageBox,
    .createWindow = TestCreateWindow,
    .showWindow = TestShowWindow,
    .setWindowTitle = TestSetWindowTitle,
    .clientSize = TestClientSize,
    .clientOrigin = TestClientOrigin,
    .pollEvent = TestPollEvent,
    .showCursor = TestShowCursor,
    .cursorPos = TestCursorPos,
    .setCursorPos = TestSetCursorPos,
    .keyDown = TestKeyDown,
    .lookStick = TestLookStick,
    .queryDisplayMode = TestQueryDisplayMode,
    .changeDisplayMode = TestChangeDisplayMode,
    .restoreDisplayMode = TestRestoreDisplayMode,
    .setDesktopFullScreen = TestSetDesktopFullScreen,
    .setFullScreen = TestSetFullScreen,
    .choosePixelFormat = TestChoosePixelFormat,
    .setPixelFormat = TestSetPixelFormat,
    .createContext = TestCreateContext,
    .releaseContext = TestReleaseContext,
    .deleteContext = TestDeleteContext,
    .getProcAddress = TestGetProcAddress,
    .contextString = TestContextString,
    .swapBuffers = TestSwapBuffers,
    .setSwapInterval = TestSetSwapInterval,
    .timeMs = TestTimeMs,
    .tickCount = TestTickCount,
    .realTimeMs = TestRealTimeMs,
    .shutdown = TestShutdown,
};

} // namespace

const tPlatformBackend* TestPlatform() {
    return &kTestBackend;
}

tTestPlatformState& ResetTestPlatform() {
    State = tTestPlatformState{};
    SelectPlatform(&kTestBackend);
    return State;
}

tTestPlatformState& TestPlatformState() {
    return State;
}

void TestPushEvent(const tEvent& event) {
    State.events.push_back(event);
}

void TestAdvanceClock(uint32_t ms) {
    State.timeMs += ms;
    State.tickCount += ms;
}
