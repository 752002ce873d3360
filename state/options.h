// The command line: replay, test and benchmark tools around the game. Without options the game
// behaves as a player expects: it asks about full screen and plays until the window closes.
#pragma once

#include <cstdint>

constexpr int kMaxCaptures = 16;
// The render scale's range: the share of the window's width and height the world is drawn at.
constexpr float kMinRenderScale = 0.25f;
constexpr float kMaxRenderScale = 1.0f;

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
    // --render-scale: the share of the window's sides the world is drawn at, or automatic.
    bool renderScaleSet = false;
    float renderScale = 1.0f;
    bool renderScaleAuto = false;
};

extern tOptions GameOptions;

// The exit code of a game that could not start (no display, display mode, pixel format,
// multitexturing, window): it ends before its first frame, after saying why.
constexpr int kExitCouldNotStart = 3;

enum tParseResult { kParseRun, kParseExitOk, kParseExitUsage };

// Fills GameOptions from argv. --help and --version print to standard output (kParseExitOk);
// a bad option prints the usage to standard error (kParseExitUsage).
tParseResult ParseOptions(int argc, char** argv);
// A render scale as the command line and the preferences write it: "auto", or a number from
// kMinRenderScale to kMaxRenderScale. False for anything else, leaving the outputs alone.
bool ParseRenderScale(const char* text, float* scale, bool* automatic);
