// Controls of the test backend: a virtual clock, keys and cursor, an injectable event queue, and
// records of every message box, title and window-system call, so tests can drive the game's
// loop and rules with no display.
#pragma once

#include "app/platform.h"

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
    bool cursorVisible = true;
    int swaps = 0;

    // The window as created.
    bool windowCreated = false;
    bool fullScreen = false;
    int clientWidth = 0;
    int clientHeight = 0;
    int colorBits = 0;
    int depthBits = 0;

    // Failures to stage.
    bool failCreateWindow = false;
    bool failQueryDisplayMode = false;
    bool failChangeDisplayMode = false;
    bool failChoosePixelFormat = false;
    bool failSetPixelFormat = false;
    bool noMultitexture = false;
};

// Resets every record and control and selects the test backend.
tTestPlatformState& ResetTestPlatform();
tTestPlatformState& TestPlatformState();
void TestPushEvent(const tEvent& event);
void TestAdvanceClock(uint32_t ms);
