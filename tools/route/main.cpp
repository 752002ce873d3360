// ostravel_route: plays the level in the working directory's Data/ headless, with the game's own
// logic on the test backend and a fixed-step clock, steered by the autopilot, and writes every
// input it gave as an input script. The game is deterministic under a fixed step (its random
// seed is the clock at loading, 0), so the real executable replaying the script with the same
// step follows the same course; --trace writes this run's trace to compare with the replay's.
//
//   ostravel_route --mode victory|defeat --fixed-step MS --script OUT [--trace FILE]
//                  [--max-frames N] [--click-every N] [--engage RANGE]
//
// Exit code 0 when the mission ended as the mode asks, 1 when it did not, 2 for bad options.
// Like the game under AddressSanitizer: memory errors count, and the loaded level is left for
// the process's end to release, as the game's own run leaves the sound and driver state.
#define OSTRAVEL_ASAN_OPTIONS "detect_leaks=0"
#include "replay/sanitizer_hooks.h"

#include "replay/capture.h"
#include "replay/input_script.h"
#include "replay/replay_platform.h"
#include "replay/trace.h"
#include "app/startup.h"
#include "state/game_state.h"
#include "state/options.h"
#include "platform/platform.h"
#include "platform/platform_test.h"
#include "tools/route/autopilot.h"
#include "objects/scene_objects.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct tRouteOptions {
    tPilotSettings pilot;
    uint32_t stepMs = 0;
    const char* scriptPath = nullptr;
    const char* tracePath = nullptr;
    uint32_t maxFrames = 20000;
};

int Usage() {
    std::fprintf(stderr, "usage: ostravel_route --mode victory|defeat --fixed-step MS --script OUT "
                         "[--trace FILE] [--max-frames N] [--click-every N] [--engage RANGE]\n");
    return 2;
}

bool ParseArgs(int argc, char** argv, tRouteOptions* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) {
            return false;
        }
        const char* v = argv[++i];
        if (a == "--mode") {
            if (std::strcmp(v, "victory") == 0) {
                o->pilot.mode = kPilotVictory;
            } else if (std::strcmp(v, "defeat") == 0) {
                o->pilot.mode = kPilotDefeat;
            } else {
                return false;
            }
        } else if (a == "--fixed-step") {
            o->stepMs = static_cast<uint32_t>(std::strtoul(v, nullptr, 10));
        } else if (a == "--script") {
            o->scriptPath = v;
        } else if (a == "--trace") {
            o->tracePath = v;
        } else if (a == "--max-frames") {
            o->maxFrames = static_cast<uint32_t>(std::strtoul(v, nullptr, 10));
        } else if (a == "--engage") {
            o->pilot.engageRange = static_cast<float>(std::atof(v));
        } else if (a == "--click-every") {
            o->pilot.clickEvery = std::max(1, std::atoi(v));
        } else {
            return false;
        }
    }
    return o->stepMs > 0 && o->scriptPath != nullptr;
}

// The game's own start-up up to its main loop, as a windowed run with boxes on the test backend
// (no GL context is current: drawing does nothing and textures do not load, which changes
// nothing the rules read).
void StartRoute(const tRouteOptions& o) {
    ResetTestPlatform();
    SelectPlatform(ReplayPlatform(TestPlatform()));
    SetFixedStep(o.stepMs);
    SetLiveInputIgnored(true);
    GameOptions = tOptions{};
    GameOptions.askFullScreen = false;
    GameOptions.fullScreen = false;
    if (o.tracePath != nullptr) {
        std::remove(o.tracePath);
        std::snprintf(GameOptions.tracePath, sizeof(GameOptions.tracePath), "%s", o.tracePath);
    }
    StartGame();
}

} // namespace

int main(int argc, char** argv) {
    tRouteOptions o;
    if (!ParseArgs(argc, argv, &o)) {
        return Usage();
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    StartRoute(o);
    StartPilot(o.pilot);

    std::string script;
    std::vector<uint32_t> letterFrames;
    int lowestHealth = PlayerHealth;
    bool running = true;
    int exitCode = 0;
    while (running && CurrentFrame < o.maxFrames) {
        const uint32_t frame = CurrentFrame;
        std::string lines;
        DecidePilotFrame(frame, lines);
        char error[256];
        // Only this frame's lines: the game takes them through the same injection as a replay.
        if (!ParseInputScript(lines.c_str(), error, sizeof(error))) {
            std::fprintf(stderr, "route: frame %u: %s\n", frame, error);
            return 1;
        }
        script += lines;
        const uint32_t lettersBefore = LettersCollected;
        while (running && CurrentFrame == frame) {
            running = MainLoopPass(&exitCode);
        }
        if (LettersCollected != lettersBefore) {
            letterFrames.push_back(frame);
        }
        lowestHealth = std::min(lowestHealth, PlayerHealth);
    }
    CloseTrace();

    std::string outcome = "none";
    for (const tRecordedBox& box : TestPlatformState().boxes) {
        if (box.caption == "VICTORY !" || box.caption == "DEFEAT !") {
            outcome = box.caption + ": " + box.text;
        }
    }
    FILE* out = std::fopen(o.scriptPath, "w");
    if (out == nullptr) {
        std::fprintf(stderr, "route: cannot write %s\n", o.scriptPath);
        return 1;
    }
    std::fprintf(out, "# ostravel_route --mode %s --fixed-step %u: %u frames; %s\n",
                 o.pilot.mode == kPilotVictory ? "victory" : "defeat", o.stepMs, CurrentFrame,
                 outcome.c_str());
    std::fputs(script.c_str(), out);
    const bool written = !std::ferror(out);
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "route: cannot write %s\n", o.scriptPath);
        return 1;
    }

    int killed = 0;
    for (int id = static_cast<int>(FirstId); id < static_cast<int>(EnemyEnd); ++id) {
        killed += GetHealth(id) <= 0;
    }
    std::string frames;
    for (uint32_t f : letterFrames) {
        if (!frames.empty()) {
            frames += ',';
        }
        frames += std::to_string(f);
    }
    const tPilotCounts& c = PilotCounts();
    std::printf(
        "route: %u frames (%.1f s of game time); %s\nroute: letters at frames %s; %d shots; "
        "%d of %u enemies killed; lowest health %d; %d path searches, %d times stuck\n",
        CurrentFrame, CurrentFrame * o.stepMs / 1000.0, outcome.c_str(),
        frames.empty() ? "-" : frames.c_str(), c.shots, killed, EnemyEnd - FirstId, lowestHealth,
        c.replans, c.stuckFrames);
    const bool wanted = o.pilot.mode == kPilotVictory ? outcome.rfind("VICTORY", 0) == 0
                                                      : outcome.rfind("DEFEAT", 0) == 0;
    return wanted ? 0 : 1;
}
