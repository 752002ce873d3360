#include "replay/input_script.h"

#include "replay/kept_files.h"
#include "replay/replay_platform.h"
#include "platform/file_io.h"
#include "platform/platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

enum tScriptAction {
    kActKeyDown,
    kActKeyUp,
    kActEscapeDown,
    kActEscapeUp,
    kActScreenshotDown,
    kActScreenshotUp,
    kActFullScreenDown,
    kActFullScreenUp,
    kActMouse,
    kActClick,
    kActClose,
    kActResize,
    kActMove,
    kActStep
};

// Key numbers of the script's event keys, apart from the held keys' 0 .. kKeyCount - 1.
constexpr int kScriptEscape = -1;
constexpr int kScriptScreenshot = -2;
constexpr int kScriptFullScreen = -3;

struct tScriptEvent {
    uint32_t frame;
    tScriptAction action;
    int key;       // tKey for movement keys
    int a, b;      // mouse dx, dy; resize w, h; click 0 left 1 right
    uint32_t step; // step milliseconds
};

// Built once when the script is read; the frames only walk it.
std::vector<tScriptEvent> Script;
size_t NextScriptEvent = 0;
bool Loaded = false;
bool HasSteps = false;
bool HasSeed = false;
uint32_t ScriptSeed = 0;
float ScriptSensitivity = 1.0f;
bool ScriptInvert = false;

// ---- recording (whole run) ----
tLineFile Recording;
bool RecordedKeys[kKeyCount];

constexpr const char* kKeyNames[kKeyCount] = {"up", "down", "left", "right", "w", "s", "a", "d"};

// Numbers are read as 64-bit whatever the width of long, so a frame number or seed up to
// 4294967295 reads the same on every system.
bool ParseInt(const std::string& word, int64_t min, int64_t max, int64_t* value) {
    if (word.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(word.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < min || parsed > max) {
        return false;
    }
    *value = parsed;
    return true;
}

bool KeyFromName(const std::string& name, int* key) {
    for (int k = 0; k < kKeyCount; ++k) {
        if (name == kKeyNames[k]) {
            *key = k;
            return true;
        }
    }
    // The keys the game answers as events rather than as held states.
    if (name == "escape") {
        *key = kScriptEscape;
        return true;
    }
    if (name == "f12") {
        *key = kScriptScreenshot;
        return true;
    }
    if (name == "f11") {
        *key = kScriptFullScreen;
        return true;
    }
    return false;
}

// Parses one line's words into an event; returns the problem, or nullptr.
const char* ParseLine(const std::vector<std::string>& w, tScriptEvent* e) {
    int64_t frame = 0;
    if (!ParseInt(w[0], 0, 0xFFFFFFFFLL, &frame)) {
        return "frame number expected";
    }
    e->frame = static_cast<uint32_t>(frame);
    e->key = 0;
    e->a = 0;
    e->b = 0;
    e->step = 0;
    if (w.size() < 2) {
        return "event expected after the frame number";
    }
    const std::string& verb = w[1];
    int64_t x = 0, y = 0;
    if (verb == "key") {
        if (w.size() != 4) {
            return "key needs NAME down|up";
        }
        if (!KeyFromName(w[2], &e->key)) {
            return "unknown key (up down left right w a s d escape f11 f12)";
        }
        if (w[3] != "down" && w[3] != "up") {
            return "key state must be down or up";
        }
        const bool down = w[3] == "down";
        if (e->key == kScriptEscape) {
            e->action = down ? kActEscapeDown : kActEscapeUp;
        } else if (e->key == kScriptScreenshot) {
            e->action = down ? kActScreenshotDown : kActScreenshotUp;
        } else if (e->key == kScriptFullScreen) {
            e->action = down ? kActFullScreenDown : kActFullScreenUp;
        } else {
            e->action = down ? kActKeyDown : kActKeyUp;
        }
    } else if (verb == "mouse") {
        if (w.size() != 4 || !ParseInt(w[2], -kScriptMouseLimit, kScriptMouseLimit, &x) ||
            !ParseInt(w[3], -kScriptMouseLimit, kScriptMouseLimit, &y)) {
            return "mouse needs DX DY";
        }
        e->action = kActMouse;
        e->a = static_cast<int>(x);
        e->b = static_cast<int>(y);
    } else if (verb == "click") {
        if (w.size() != 3 || (w[2] != "left" && w[2] != "right")) {
            return "click needs left or right";
        }
        e->action = kActClick;
        e->a = w[2] == "left" ? 0 : 1;
    } else if (verb == "close") {
        if (w.size() != 2) {
            return "close takes nothing";
        }
        e->action = kActClose;
    } else if (verb == "resize") {
        if (w.size() != 4 || !ParseInt(w[2], 1, 16384, &x) || !ParseInt(w[3], 1, 16384, &y)) {
            return "resize needs W H (1 ... 16384)";
        }
        e->action = kActResize;
        e->a = static_cast<int>(x);
        e->b = static_cast<int>(y);
    } else if (verb == "move") {
        if (w.size() != 2) {
            return "move takes nothing";
        }
        e->action = kActMove;
    } else if (verb == "step") {
        // Any step the clock can make: a recording's first one holds the whole start-up.
        if (w.size() != 3 || !ParseInt(w[2], 0, 0xFFFFFFFFL, &x)) {
            return "step needs milliseconds (0 ... 4294967295)";
        }
        e->action = kActStep;
        e->step = static_cast<uint32_t>(x);
    } else {
        return "unknown event (key mouse click close resize move step)";
    }
    return nullptr;
}

} // namespace

bool ParseInputScript(const char* text, char* error, size_t errorSize) {
    ClearInputScript();
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    uint32_t lastFrame = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const size_t hash = line.find('#');
        if (hash != std::string::npos) {
            line.erase(hash);
        }
        std::istringstream words(line);
        std::vector<std::string> w;
        std::string word;
        while (words >> word) {
            w.push_back(word);
        }
        if (w.empty()) {
            continue;
        }
        if (w[0] == "mouse_sensitivity" || w[0] == "invert_mouse") {
            char* end = nullptr;
            const float value = w.size() == 2 ? std::strtof(w[1].c_str(), &end) : 0.0f;
            const bool sensitivityOk = w[0] == "mouse_sensitivity" && end != nullptr &&
                                       *end == '\0' && value > 0.0f && value <= 100.0f;
            const bool invertOk =
                w[0] == "invert_mouse" && w.size() == 2 && (w[1] == "yes" || w[1] == "no");
            if (!sensitivityOk && !invertOk) {
                std::snprintf(error, errorSize, "script line %d: %s needs %s", lineNumber,
                              w[0].c_str(), w[0] == "invert_mouse" ? "yes or no" : "0 < X <= 100");
                ClearInputScript();
                return false;
            }
            if (sensitivityOk) {
                ScriptSensitivity = value;
            } else {
                ScriptInvert = w[1] == "yes";
            }
            continue;
        }
        if (w[0] == "seed") {
            int64_t seed = 0;
            if (w.size() != 2 || !ParseInt(w[1], 0, 0xFFFFFFFFLL, &seed)) {
                std::snprintf(error, errorSize, "script line %d: seed needs a number", lineNumber);
                ClearInputScript();
                return false;
            }
            HasSeed = true;
            ScriptSeed = static_cast<uint32_t>(seed);
            continue;
        }
        tScriptEvent e{};
        const char* problem = ParseLine(w, &e);
        if (problem == nullptr && e.frame < lastFrame) {
            problem = "frames must not go backwards";
        }
        if (problem != nullptr) {
            std::snprintf(error, errorSize, "script line %d: %s", lineNumber, problem);
            ClearInputScript();
            return false;
        }
        lastFrame = e.frame;
        HasSteps = HasSteps || e.action == kActStep;
        Script.push_back(e);
    }
    Loaded = true;
    return true;
}

bool LoadInputScript(const char* path, char* error, size_t errorSize) {
    char reason[256];
    // A directory would open and read as an empty script: a game with no input at all.
    if (!CheckReadableFile(path, reason, sizeof(reason))) {
        std::snprintf(error, errorSize, "script line 0: cannot open %s: %s", path, reason);
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::snprintf(error, errorSize, "script line 0: cannot open %s", path);
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return ParseInputScript(text.str().c_str(), error, errorSize);
}

bool InputScriptLoaded() {
    return Loaded;
}

void ClearInputScript() {
    Script.clear();
    NextScriptEvent = 0;
    Loaded = false;
    HasSteps = false;
    HasSeed = false;
    ScriptSensitivity = 1.0f;
    ScriptInvert = false;
}

void InputScriptMouse(float* sensitivity, bool* invert) {
    *sensitivity = ScriptSensitivity;
    *invert = ScriptInvert;
}

bool InputScriptHasSteps() {
    return HasSteps;
}

bool InputScriptSeed(uint32_t* seed) {
    if (HasSeed) {
        *seed = ScriptSeed;
    }
    return HasSeed;
}

bool InjectScriptEvents(uint32_t frame) {
    bool any = false;
    while (NextScriptEvent < Script.size() && Script[NextScriptEvent].frame <= frame) {
        const tScriptEvent& e = Script[NextScriptEvent++];
        tEvent event{};
        switch (e.action) {
        case kActKeyDown:
        case kActKeyUp:
            SetVirtualKey(static_cast<tKey>(e.key), e.action == kActKeyDown);
            if (e.action == kActKeyDown) {
                event.kind = kEventKeyDown;
                event.key = kKeyOther;
                InjectEvent(event);
            }
            break;
        case kActEscapeDown:
            event.kind = kEventKeyDown;
            event.key = kKeyEscape;
            InjectEvent(event);
            break;
        case kActScreenshotDown:
            event.kind = kEventKeyDown;
            event.key = kKeyScreenshot;
            InjectEvent(event);
            break;
        case kActFullScreenDown:
            event.kind = kEventKeyDown;
            event.key = kKeyFullScreen;
            InjectEvent(event);
            break;
        case kActEscapeUp:
        case kActScreenshotUp:
        case kActFullScreenUp:
            break;
        case kActMouse:
            SetVirtualCursorOffset(e.a, e.b);
            break;
        case kActClick:
            event.kind = e.a == 0 ? kEventLeftButton : kEventRightButton;
            InjectEvent(event);
            break;
        case kActClose:
            event.kind = kEventClose;
            InjectEvent(event);
            break;
        case kActResize:
            event.kind = kEventResize;
            event.width = e.a;
            event.height = e.b;
            InjectEvent(event);
            break;
        case kActMove:
            event.kind = kEventMove;
            InjectEvent(event);
            break;
        case kActStep:
            // Not an event: the frame itself follows in this pass.
            SetNextFrameStep(e.step);
            continue;
        }
        any = true;
    }
    return any;
}

bool StartRecording(const char* path, uint32_t seed, float mouseSensitivity, bool invertMouse) {
    StopRecording();
    if (!OpenLineFile(&Recording, "the recording", path, "w")) {
        ReportNotKept("cannot write the recording %s: %s", path, std::strerror(errno));
        return false;
    }
    for (bool& key : RecordedKeys) {
        key = false;
    }
    AddLines(&Recording,
             "# Ostravel recording: play it back with --script\nseed %u\n"
             "mouse_sensitivity %.9g\ninvert_mouse %s\n",
             seed, static_cast<double>(mouseSensitivity), invertMouse ? "yes" : "no");
    // A file that takes nothing is found before the first frame, and the game plays on.
    CommitLines(&Recording);
    return true;
}

void RecordEvent(uint32_t frame, const tEvent& event) {
    if (!LineFileOpen(Recording)) {
        return;
    }
    switch (event.kind) {
    case kEventKeyDown:
        // Movement keys are written as the states a frame saw; other keys do nothing.
        if (event.key == kKeyEscape || event.key == kKeyScreenshot || event.key == kKeyFullScreen) {
            AddLines(&Recording, "%u key %s down\n", frame,
                     event.key == kKeyEscape       ? "escape"
                     : event.key == kKeyScreenshot ? "f12"
                                                   : "f11");
        }
        break;
    case kEventLeftButton:
    case kEventRightButton:
        AddLines(&Recording, "%u click %s\n", frame,
                 event.kind == kEventLeftButton ? "left" : "right");
        break;
    case kEventClose:
        AddLines(&Recording, "%u close\n", frame);
        break;
    case kEventResize:
        // The script's range; the game itself keeps only 16 bits of each side.
        if (event.width >= 1 && event.width <= 16384 && event.height >= 1 &&
            event.height <= 16384) {
            AddLines(&Recording, "%u resize %d %d\n", frame, event.width, event.height);
        }
        break;
    case kEventMove:
        AddLines(&Recording, "%u move\n", frame);
        break;
    case kEventFocus:
    case kEventQuit:
        break;
    }
}

void RecordFrameStart(uint32_t frame, uint32_t stepMs) {
    if (!LineFileOpen(Recording)) {
        return;
    }
    AddLines(&Recording, "%u step %u\n", frame, stepMs);
    for (int k = 0; k < kKeyCount; ++k) {
        const bool down = IsKeyDown(static_cast<tKey>(k));
        if (down != RecordedKeys[k]) {
            RecordedKeys[k] = down;
            AddLines(&Recording, "%u key %s %s\n", frame, kKeyNames[k], down ? "down" : "up");
        }
    }
}

void RecordFrameEnd(uint32_t frame) {
    if (!LineFileOpen(Recording)) {
        return;
    }
    int dx = 0, dy = 0;
    if (TakeCursorReadOffset(&dx, &dy) && (dx != 0 || dy != 0)) {
        // Held to what a script can say; no screen is that wide.
        AddLines(&Recording, "%u mouse %d %d\n", frame,
                 std::clamp(dx, -kScriptMouseLimit, kScriptMouseLimit),
                 std::clamp(dy, -kScriptMouseLimit, kScriptMouseLimit));
    }
    // Written through each frame, so a recording cut short by a crash or a full disk still
    // plays up to its last whole frame.
    CommitLines(&Recording);
}

void StopRecording() {
    if (LineFileOpen(Recording)) {
        CloseLineFile(&Recording);
    }
}
