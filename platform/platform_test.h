// Controls of the test backend: a virtual clock, keys and cursor, an injectable event queue, and
// records of every message box, title and window-system call, so tests can drive the game's
// loop and rules with no display.
#pragma once

#include "platform/platform.h"

#include <string>
#include <vector>

struct tRecordedBox {
    std::string caption;
    std::string text;
    tMessageButtons buttons;
};

struct tTestPlatformState {
    // What the next Yes/No boxes answer, in order; Yes when the list runs out.
    std::vector<tMessageAnswer> answers;
    std::vector<tRecordedBox> boxes;
    std::vector<std::string> titles;
    // Window-system calls in order ("createWindow", "createContext", "deleteContext", ...).
    std::vector<std::string> calls;
    std::vector<tEvent> events;
    size_t nextEvent = 0;

    uint32_t timeMs = 0;
    uint32_t tickCount = 0;
    bool keys[kKeyCount] = {};
    int cursorX = 0;
    int cursorY = 0;
    // A game controller's right stick, -1 ... 1 per axis.
    float lookStickX = 0.0f;
    float lookStickY = 0.0f;
    bool cursorVisible = true;
    int swaps = 0;

    // The window as created.
    bool windowCreated = false;
    bool fullScreen = false;
    int clientWidth = 0;
    int clientHeight = 0;
    // The client area's top-left corner on the screen; a test moves the window by changing it.
    int originX = 0;
    int originY = 0;
    // What the context reports as GL_VERSION and GL_EXTENSIONS.
    const char* glVersion = "4.5 (Compatibility Profile) Test";
    const char* glExtensions = "GL_ARB_multitexture GL_EXT_texture";
    int colorBits = 0;
    int depthBits = 0;
    // The display mode the game last asked for.
    tDisplayMode askedMode = {};
    // The desktops of two displays side by side, and the one the window is on.
    tDisplayMode displays[2] = {{1920, 1080, 60}, {2560, 1440, 144}};
    int windowDisplay = 0;

    // Failures to stage.
    bool failCreateWindow = false;
    bool failQueryDisplayMode = false;
    bool failChangeDisplayMode = false;
    bool failChoosePixelFormat = false;
    bool failSetPixelFormat = false;
    // A GL 1.2 context without GL_ARB_multitexture.
    bool noMultitexture = false;
    // The system cannot show message boxes.
    bool failMessageBox = false;
};

// Resets every record and control and selects the test backend.
tTestPlatformState& ResetTestPlatform();
tTestPlatformState& TestPlatformState();
void TestPushEvent(const tEvent& event);
void TestAdvanceClock(uint32_t ms);
