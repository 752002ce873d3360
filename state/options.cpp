#include "state/options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

tOptions GameOptions;

namespace {

constexpr const char* kVersion = "Ostravel 0.1.0";

// The help text is also the source of the manual page (tools/manpage/make_manpage.sh turns
// its sections into the page), so keep its layout: a section title ending in ':', items that
// start two spaces in with their description after two or more spaces, continuation lines
// indented further.
constexpr const char* kUsage =
    "Usage: ostravel [OPTIONS]\n"
    "\n"
    "Walk the valley, collect the letters K, W, E, R and T in that order and survive the\n"
    "soldiers guarding them.\n"
    "\n"
    "Controls:\n"
    "  W / Up arrow         walk forward\n"
    "  S / Down arrow       walk backward\n"
    "  A / Left arrow       step left\n"
    "  D / Right arrow      step right\n"
    "  mouse                look around\n"
    "  left button          shoot\n"
    "  F11 / Alt+Enter      switch between the window and full screen\n"
    "  F12                  screenshot\n"
    "  Escape               quit\n"
    "  W A S D              go by their place on the keyboard, whatever its layout\n"
    "  game controller      left stick walks and steps, right stick looks, A or the right\n"
    "                       trigger shoots, Back quits\n"
    "\n"
    "Options:\n"
    "  --windowed           play in a window (skips the full-screen question)\n"
    "  --fullscreen         play full screen (skips the full-screen question)\n"
    "  --dialogs=stderr     write message boxes to standard error and take their default\n"
    "  --frames N           quit after N frames\n"
    "  --fixed-step MS      every clock advances MS milliseconds per frame\n"
    "  --script FILE        play an input script or a recording instead of live keyboard\n"
    "                       and mouse; a recording plays back to the same frames\n"
    "  --record FILE        write this session to FILE as an input script: keys, mouse,\n"
    "                       clicks, window events, each frame's clock step and the seed\n"
    "  --seed N             seed the enemies' random firing with N (default: the clock)\n"
    "  --trace FILE         append one line per frame describing the game to FILE\n"
    "  --no-vsync           do not wait for the display between frames\n"
    "  --capture N:FILE     write frame N (0-based) to FILE: PNG when FILE ends in .png,\n"
    "                       a 24-bit BMP otherwise (repeatable)\n"
    "  --stats              print frame-time statistics at exit\n"
    "  --data DIR           read the game's data from DIR/Data/ instead of searching for it\n"
    "  --render-scale S     draw the world at S (0.25 ... 1) of the window's width and\n"
    "                       height and stretch it to the window; auto lets the game choose\n"
    "                       S to hold 60 frames a second; overrides render_scale\n"
    "  --help               show this help\n"
    "  --version            show the version\n"
    "\n"
    "Files:\n"
    "  Data/                the game's data: --data's DIR/Data/, else $OSTRAVEL_DATA/Data/,\n"
    "                       else the data installed with the game; a game without it\n"
    "                       reads Data/ under the working directory, else beside the game,\n"
    "                       else the install prefix's; file names given on the command\n"
    "                       line are taken from the working directory\n"
    "  Data/Setup.ini       window width, height and colour depth (800 600 32 when missing)\n"
    "  $XDG_CONFIG_HOME/ostravel/Setup.ini\n"
    "                       the player's own settings in the same format, read instead of\n"
    "                       Data/Setup.ini when present\n"
    "  $XDG_CONFIG_HOME/ostravel/ostravel.conf\n"
    "                       the player's preferences, \"key = value\" lines ('#' starts a\n"
    "                       comment); the keys are under \"Settings file\". An unknown key\n"
    "                       or a bad value is named on standard error and its default used\n"
    "  $XDG_DATA_HOME/ostravel/screenshots/\n"
    "                       F12 saves ostravel-YYYYMMDD-HHMMSS.png here\n"
    "\n"
    "Settings file:\n"
    "  fullscreen = ask|yes|no\n"
    "                       ask at start (ask, the default), or play full screen (yes) or\n"
    "                       in a window (no) without asking; --windowed and --fullscreen\n"
    "                       override it\n"
    "  mouse_sensitivity = N\n"
    "                       mouse-look speed, 0 < N <= 100; 1.0 (the default) turns the view\n"
    "                       0.001 rad per pixel\n"
    "  invert_mouse = yes|no\n"
    "                       moving the mouse up looks down (default no)\n"
    "  vsync = yes|no       wait for the display between frames (default yes); --no-vsync\n"
    "                       overrides it\n"
    "  volume = 0-100       loudness of the sound in percent (default 100)\n"
    "  render_scale = S|auto\n"
    "                       the world drawn at S (0.25 ... 1, default 1) of the window's\n"
    "                       sides and stretched to it, the text kept sharp; auto lowers and\n"
    "                       raises it to hold 60 frames a second\n"
    "  fullscreen_mode = mode|desktop\n"
    "                       full screen switches the display to the settings' size (mode,\n"
    "                       the default), or covers the desktop at its own size without\n"
    "                       changing the display (desktop)\n"
    "\n"
    "Environment:\n"
    "  XDG_CONFIG_HOME      where the player's settings live (default ~/.config)\n"
    "  XDG_DATA_HOME        where screenshots go (default ~/.local/share)\n"
    "  OSTRAVEL_DATA        the directory holding the game's Data/, as --data names it\n"
    "  SDL_AUDIODRIVER      sound output; dummy plays silently where no sound device is\n"
    "  SDL_VIDEODRIVER      window system; the game needs a display (x11 or wayland)\n"
    "\n"
    "Exit status:\n"
    "  0                    the game ended (quit, victory or defeat)\n"
    "  1                    the shot sound could not be loaded\n"
    "  2                    a bad command line or input script, or no Data/ where --data\n"
    "                       or OSTRAVEL_DATA says\n"
    "  3                    the game could not start: no display, no usable display mode,\n"
    "                       pixel format or multitexturing, or no window\n"
    "  4                    a recording, trace, capture or screenshot could not be written\n"
    "  5                    the display went away while the game ran\n";

bool ParseUnsigned(const char* text, uint64_t max, uint64_t* value) {
    if (text == nullptr || *text < '0' || *text > '9') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed > max) {
        return false;
    }
    *value = parsed;
    return true;
}

bool CopyPath(char* out, size_t size, const char* text) {
    if (text == nullptr || *text == '\0' || std::strlen(text) >= size) {
        return false;
    }
    std::memcpy(out, text, std::strlen(text) + 1);
    return true;
}

} // namespace

bool ParseRenderScale(const char* text, float* scale, bool* automatic) {
    if (text == nullptr) {
        return false;
    }
    if (std::strcmp(text, "auto") == 0) {
        *scale = 1.0f;
        *automatic = true;
        return true;
    }
    char* end = nullptr;
    const float value = std::strtof(text, &end);
    // Written as a decimal number: no "nan", no hexadecimal, nothing after it.
    if (*text < '0' || *text > '9' || end == text || *end != '\0' || !(value >= kMinRenderScale) ||
        !(value <= kMaxRenderScale)) {
        return false;
    }
    *scale = value;
    *automatic = false;
    return true;
}

namespace {

tParseResult Usage(const char* problem, const char* arg) {
    std::fprintf(stderr, "ostravel: %s: %s\n\n%s", problem, arg, kUsage);
    return kParseExitUsage;
}

} // namespace

tParseResult ParseOptions(int argc, char** argv) {
    GameOptions = tOptions{};
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        uint64_t number = 0;
        if (std::strcmp(arg, "--help") == 0) {
            std::fputs(kUsage, stdout);
            return kParseExitOk;
        } else if (std::strcmp(arg, "--version") == 0) {
            std::printf("%s\n", kVersion);
            return kParseExitOk;
        } else if (std::strcmp(arg, "--windowed") == 0) {
            GameOptions.askFullScreen = false;
            GameOptions.fullScreen = false;
        } else if (std::strcmp(arg, "--fullscreen") == 0) {
            GameOptions.askFullScreen = false;
            GameOptions.fullScreen = true;
        } else if (std::strcmp(arg, "--dialogs=stderr") == 0) {
            GameOptions.dialogsToStderr = true;
        } else if (std::strcmp(arg, "--no-vsync") == 0) {
            GameOptions.noVsync = true;
        } else if (std::strcmp(arg, "--stats") == 0) {
            GameOptions.stats = true;
        } else if (std::strcmp(arg, "--frames") == 0) {
            if (!ParseUnsigned(next, 0xFFFFFFFFu, &number)) {
                return Usage("--frames needs a frame count", next ? next : "(missing)");
            }
            GameOptions.frameLimit = static_cast<int64_t>(number);
            ++i;
        } else if (std::strcmp(arg, "--fixed-step") == 0) {
            if (!ParseUnsigned(next, 60000, &number) || number == 0) {
                return Usage("--fixed-step needs milliseconds (1 ... 60000)",
                             next ? next : "(missing)");
            }
            GameOptions.fixedStep = true;
            GameOptions.fixedStepMs = static_cast<uint32_t>(number);
            ++i;
        } else if (std::strcmp(arg, "--script") == 0) {
            if (!CopyPath(GameOptions.scriptPath, sizeof(GameOptions.scriptPath), next)) {
                return Usage("--script needs a file", next ? next : "(missing)");
            }
            ++i;
        } else if (std::strcmp(arg, "--record") == 0) {
            if (!CopyPath(GameOptions.recordPath, sizeof(GameOptions.recordPath), next)) {
                return Usage("--record needs a file", next ? next : "(missing)");
            }
            ++i;
        } else if (std::strcmp(arg, "--data") == 0) {
            if (!CopyPath(GameOptions.dataDir, sizeof(GameOptions.dataDir), next)) {
                return Usage("--data needs a directory", next ? next : "(missing)");
            }
            ++i;
        } else if (std::strcmp(arg, "--seed") == 0) {
            if (!ParseUnsigned(next, 0xFFFFFFFFu, &number)) {
                return Usage("--seed needs a number (0 ... 4294967295)", next ? next : "(missing)");
            }
            GameOptions.seedSet = true;
            GameOptions.seed = static_cast<uint32_t>(number);
            ++i;
        } else if (std::strcmp(arg, "--render-scale") == 0) {
            if (!ParseRenderScale(next, &GameOptions.renderScale, &GameOptions.renderScaleAuto)) {
                return Usage("--render-scale needs a scale from 0.25 to 1, or auto",
                             next ? next : "(missing)");
            }
            GameOptions.renderScaleSet = true;
            ++i;
        } else if (std::strcmp(arg, "--trace") == 0) {
            if (!CopyPath(GameOptions.tracePath, sizeof(GameOptions.tracePath), next)) {
                return Usage("--trace needs a file", next ? next : "(missing)");
            }
            ++i;
        } else if (std::strcmp(arg, "--capture") == 0) {
            const char* colon = next ? std::strchr(next, ':') : nullptr;
            if (colon == nullptr || GameOptions.captureCount == kMaxCaptures) {
                return Usage("--capture needs N:FILE (at most 16)", next ? next : "(missing)");
            }
            char frameText[16] = {};
            const size_t digits = static_cast<size_t>(colon - next);
            if (digits == 0 || digits >= sizeof(frameText)) {
                return Usage("--capture needs N:FILE", next);
            }
            std::memcpy(frameText, next, digits);
            tCaptureRequest& request = GameOptions.captures[GameOptions.captureCount];
            if (!ParseUnsigned(frameText, 0xFFFFFFFFu, &number) ||
                !CopyPath(request.path, sizeof(request.path), colon + 1)) {
                return Usage("--capture needs N:FILE", next);
            }
            request.frame = static_cast<uint32_t>(number);
            ++GameOptions.captureCount;
            ++i;
        } else {
            return Usage("unknown option", arg);
        }
    }
    return kParseRun;
}
