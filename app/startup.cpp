#include "app/startup.h"

#include "app/display.h"
#include "app/player_config.h"
#include "replay/capture.h"
#include "replay/input_script.h"
#include "replay/kept_files.h"
#include "replay/replay_platform.h"
#include "replay/stats.h"
#include "replay/trace.h"
#include "state/game_state.h"
#include "state/options.h"
#include "app/window_events.h"
#include "camera/camera.h"
#include "models/md2_loader.h"
#include "platform/data_path.h"
#include "platform/file_io.h"
#include "platform/gl_api.h"
#include "platform/platform.h"
#include "platform/user_dirs.h"
#include "render/font.h"
#include "render/overdraw.h"
#include "frame/frame_renderer.h"
#include "render/scaled_view.h"
#include "sound/sound_effect.h"
#include "world/load_world.h"
#include "objects/scene_objects.h"
#include "world/world_rules.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sys/stat.h>

uint32_t FramesDrawn = 0;

int ReadSettings(const char* path, uint32_t* width, uint32_t* height, uint32_t* colorBits) {
    std::ifstream file(path);
    if (!file) {
        return 0;
    }
    return ReadSettingsFrom(file, width, height, colorBits);
}

int ReadSettingsFrom(std::istream& file, uint32_t* width, uint32_t* height, uint32_t* colorBits) {
    uint32_t* const targets[3] = {width, height, colorBits};
    int read = 0;
    for (uint32_t* target : targets) {
        // Read signed, so that "-1" is refused instead of wrapping to four billion.
        long long value = 0;
        if (!(file >> value) || value < 0 || value > 0xFFFFFFFFLL) {
            break;
        }
        *target = static_cast<uint32_t>(value);
        ++read;
    }
    return read;
}

// True when it is the player's own copy, false for the data's.
bool SettingsPath(char* out, size_t size) {
    struct stat info;
    if (UserSettingsPath(out, size) && stat(out, &info) == 0) {
        return true;
    }
    const char* dataDir = DataDir();
    std::snprintf(out, size, "%s%s%s", dataDir, dataDir[0] != '\0' ? "/" : "", kSharedSettingsPath);
    return false;
}

// The settings file, with the defaults for what it lacks or what no window could be.
void LoadSettings() {
    char path[4096];
    const bool own = SettingsPath(path, sizeof(path));
    uint32_t width = kDefaultWidth, height = kDefaultHeight, bits = kDefaultColorBits;
    char reason[256];
    // Only a file is read: a directory would read as an empty file and a pipe could hang. A
    // missing file is the "0 of 3" below.
    const bool refused = !CheckReadableFile(path, reason, sizeof(reason)) && errno != ENOENT;
    const int read = refused ? 0 : ReadSettings(path, &width, &height, &bits);
    const bool sizeBad =
        width == 0 || height == 0 || width > kMaxWindowSide || height > kMaxWindowSide;
    const bool bitsBad = bits != 16 && bits != 24 && bits != 32;
    if (!own && (refused || read < 3 || sizeBad || bitsBad)) {
        NameDataRootOnce();
    }
    if (refused) {
        std::fprintf(stderr, "%s: cannot read it: %s; using %ux%ux%u\n", path, reason,
                     kDefaultWidth, kDefaultHeight, kDefaultColorBits);
    } else if (read < 3) {
        std::fprintf(stderr, "%s: %d of 3 settings read; using %ux%ux%u for the rest\n", path, read,
                     kDefaultWidth, kDefaultHeight, kDefaultColorBits);
    }
    if (sizeBad) {
        std::fprintf(stderr, "%s: window %ux%u is not usable; using %ux%u\n", path, width, height,
                     kDefaultWidth, kDefaultHeight);
        width = kDefaultWidth;
        height = kDefaultHeight;
    }
    if (bitsBad) {
        std::fprintf(stderr, "%s: colour depth %u is not usable; using %u\n", path, bits,
                     kDefaultColorBits);
        bits = kDefaultColorBits;
    }
    WindowWidth = width;
    WindowHeight = height;
    ColorBits = bits;
}

namespace {

// After each frame: the frame count and the --frames limit.
void FinishFrame() {
    WriteTraceLine(CurrentFrame);
    RecordFrameEnd(CurrentFrame);
    ++FramesDrawn;
    ++CurrentFrame;
    if (GameOptions.frameLimit >= 0 && FramesDrawn >= GameOptions.frameLimit) {
        PostQuitRequest(0);
    }
}

} // namespace

bool MainLoopPass(int* exitCode) {
    tEvent event;
    if (PollEvent(&event)) {
        if (event.kind == kEventQuit) {
            *exitCode = event.exitCode;
            return false;
        }
        RecordEvent(CurrentFrame, event);
        HandleWindowEvent(event);
        return true;
    }
    // A replayed frame's events reach the queue before its update, one per pass like live ones.
    if (InjectScriptEvents(CurrentFrame)) {
        return true;
    }
    RecordFrameStart(CurrentFrame, AdvanceFixedStep());
    const double frameBegin = RealTimeMs();
    StatsFrameBegin();
    StatsUpdateBegin();
    UpdateWorld();
    StatsUpdateEnd();
    RenderFrame();
    CheckMissionEnd();
    StatsFrameEnd();
    CollectOverdraw(static_cast<int>(WindowWidth), static_cast<int>(WindowHeight));
    // The automatic render scale follows the real time the frame's update and drawing took, on
    // every frame, whatever the game's clocks read (so it never touches the rules) and without
    // the swap's wait for the display: a frame held to the display's rate is on time.
    RenderScaleFrameTime(static_cast<float>(FrameDrawnMs - frameBegin));
    FinishFrame();
    return true;
}

int ShutDown(int exitCode) {
    for (int id = 0; id < kMaxSceneObjects; ++id) {
        FreeSceneObject(id);
    }
    DeleteFontLists();
    if (GLContext) {
        ReleaseContext();
        DeleteContext();
        GLContext = false;
    }
    if (WindowDC) {
        WindowDC = false;
    }
    if (FullScreen) {
        RestoreDisplayMode();
        SetCursorVisible(true);
    }
    StopRecording();
    CloseTrace();
    ReportMissedCaptures();
    // The sound closes while the platform that plays it is still up.
    ShutdownSound();
    // The window class goes with the window system's own shutdown.
    ShutdownPlatform();
    AppInstance = false;
    return exitCode == 0 && SomethingNotKept() ? kExitNotKept : exitCode;
}

void EndOnLostDisplay(const char* what) {
    std::fprintf(stderr, "Error: the display is gone (%s); the game ends\n", what);
    tEvent close{};
    close.kind = kEventClose;
    RecordEvent(CurrentFrame, close);
    StopRecording();
    CloseTrace();
    ReportMissedCaptures();
    std::fflush(stdout);
    // No shutdown: every call into the window system would meet the broken connection again.
    std::_Exit(kExitDisplayLost);
}

tStartResult StartGame() {
    FramesDrawn = 0;
    CurrentFrame = 0;
    if (GameOptions.askFullScreen) {
        const tMessageAnswer answer = ShowMessageBox("Click Yes to go to full screen (Recommended)",
                                                     "Options", kButtonsYesNo);
        FullScreen = answer != kAnswerNo;
    } else {
        FullScreen = GameOptions.fullScreen;
    }
    LoadSettings();
    SetFullScreenSize(WindowWidth, WindowHeight);
    if (FullScreen) {
        SwitchToFullScreen();
        SetCursorVisible(false);
    }
    AppInstance = true;
    if (!CreateMainWindow("Ostravel", WindowWidth, WindowHeight, FullScreen,
                          static_cast<int>(ColorBits), static_cast<int>(ColorBits))) {
        return kStartNoWindow;
    }
    MainWindow = true;
    ShowMainWindow();
    CreateGLContext(static_cast<int>(WindowWidth), static_cast<int>(WindowHeight));
    if (GameOptions.stats) {
        EnableOverdraw();
    }
    if (!LoadWorld()) {
        return kStartNoSound;
    }
    // A quit request already here is a start that failed (no display mode, no pixel format):
    // no frame will be drawn, and the recording's file stays as it was.
    if (GameOptions.recordPath[0] != '\0' && !QuitRequested()) {
        StartRecording(GameOptions.recordPath, RandomSeed(), MouseSensitivity, InvertMouse);
    }
    // The player starts looking along +z wherever the pointer was: from the window's middle the
    // first frame's mouse look finds no travel.
    int centreX = 0, centreY = 0;
    WindowCentre(&centreX, &centreY);
    SetCursorPos(centreX, centreY);
    return kStartRunning;
}

int RunGame() {
    switch (StartGame()) {
    case kStartNoWindow:
        return kExitCouldNotStart;
    case kStartNoSound:
        // No main loop; the display mode and everything opened are given back as on any way out.
        return ShutDown(kExitNoSound);
    case kStartRunning:
        break;
    }
    int exitCode = 0;
    while (MainLoopPass(&exitCode)) {
    }
    return ShutDown(exitCode);
}

bool SetUpGame(int argc, char** argv, int* exitCode) {
    *exitCode = 0;
    ResetNotKept();
    switch (ParseOptions(argc, argv)) {
    case kParseExitOk:
        return false;
    case kParseExitUsage:
        *exitCode = 2;
        return false;
    case kParseRun:
        break;
    }
    if (GameOptions.stats) {
        EnableStats();
    }
    // The data is found once, here; the working directory stays the player's, for the names
    // given on the command line.
    char dataRoot[kDataDirBytes];
    if (FindDataRoot(GameOptions.dataDir, dataRoot, sizeof(dataRoot)) == kDataRootNamedLacksData) {
        std::fprintf(stderr, "ostravel: no Data/ directory in %s\n", dataRoot);
        *exitCode = 2;
        return false;
    }
    SetDataRoot(dataRoot);
    tPlayerConfig config;
    ReadPlayerConfig(&config);
    ApplyPlayerConfig(config);
    if (GameOptions.scriptPath[0] != '\0') {
        char error[800];
        if (!LoadInputScript(GameOptions.scriptPath, error, sizeof(error))) {
            std::fprintf(stderr, "Error: %s\n", error);
            *exitCode = 2;
            return false;
        }
    }
    // The replay tools wrap the real backend: with none of them asked for, it only forwards.
    SelectPlatform(ReplayPlatform(SystemPlatform()));
    SetDisplayLostHandler(EndOnLostDisplay);
    SetDialogsToStderr(GameOptions.dialogsToStderr);
    if (GameOptions.fixedStep) {
        SetFixedStep(GameOptions.fixedStepMs);
    } else if (InputScriptHasSteps()) {
        SetFixedStep(0); // the script's own steps, from the first frame on
    }
    // A replay turns the view as the recorded session did, whatever this player's preferences.
    if (InputScriptLoaded()) {
        InputScriptMouse(&MouseSensitivity, &InvertMouse);
    }
    uint32_t seed = 0;
    if (GameOptions.seedSet) {
        SetRandomSeed(GameOptions.seed);
    } else if (InputScriptSeed(&seed)) {
        SetRandomSeed(seed);
    }
    if (GameOptions.recordPath[0] != '\0') {
        if (!GameOptions.seedSet && !InputScriptSeed(&seed)) {
            SetRandomSeed(static_cast<uint32_t>(std::time(nullptr)));
        }
        if (!FixedStepActive()) {
            SetRecordingClock();
        }
        // Only checked here: the recording is written from the start of a game that started,
        // so a game that does not start leaves an earlier one as it was.
        char reason[256];
        if (!CheckWritableFile(GameOptions.recordPath, reason, sizeof(reason))) {
            std::fprintf(stderr, "Error: cannot write the recording %s: %s\n",
                         GameOptions.recordPath, reason);
            *exitCode = 2;
            return false;
        }
    }
    SetLiveInputIgnored(InputScriptLoaded());
    SetNoVsync(GameOptions.noVsync);
    SetRenderScale(GameOptions.renderScale, GameOptions.renderScaleAuto);
    // Below full size the frames are the scaled view's own: the software renderer may trade its
    // exact pixels for speed. At 1.0 every pixel stays as it has always been drawn.
    if (GameOptions.renderScaleAuto || GameOptions.renderScale < kMaxRenderScale) {
        PreferFastestSoftwareDrawing();
    }
    return true;
}

int FinishGame(int exitCode) {
    if (GameOptions.stats) {
        PrintStats();
    }
    return exitCode;
}

int GameMain(int argc, char** argv) {
    int exitCode = 0;
    if (!SetUpGame(argc, argv, &exitCode)) {
        return exitCode;
    }
    return FinishGame(RunGame());
}
