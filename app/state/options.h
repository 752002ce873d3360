// The command line: replay, test and benchmark tools around the game. Without options the game
// behaves as a player expects: it asks about full screen and plays until the window closes.
#pragma once

#include <cstdint>

constexpr int kMaxCaptures = 16;

struct tCaptureRequest {
    uint32_t frame; // 0-based frame index
    char path[512]; // 24-bit BMP written there
};

struct tOptions {
    bool askFullScreen = true; // false when --windowed or --fullscreen answered the question
    bool fullScreen = true;
    bool dialogsToStderr = false;
    int64_t frameLimit = -1; // --frames N: quit after N frames; -1 for no limit
    bool fixedStep = false;
    uint32_t fixedStepMs = 0;
    char scriptPath[512] = {};
    char tracePath[512] = {};
    char recordPath[512] = {};
    char dataDir[512] = {}; // --data DIR: the directory holding Data/; "" to search for it
    bool seedSet = false;
    uint32_t seed = 0;
    bool noVsync = false;
    int captureCount = 0;
    tCaptureRequest captures[kMaxCaptures] = {};
    bool stats = false;
};

extern tOptions GameOptions;

// The exit code of a game that could not start (no display, display mode, pixel format,
// multitexturing, window): it ends before its first frame, after saying why.
constexpr int kExitCouldNotStart = 3;

enum tParseResult { kParseRun, kParseExitOk, kParseExitUsage };

// Fills GameOptions from argv. --help and --version print to standard output (kParseExitOk);
// a bad option prints the usage to standard error (kParseExitUsage).
tParseResult ParseOptions(int argc, char** argv);
