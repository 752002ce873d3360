#include "replay/trace.h"

#include "replay/kept_files.h"
#include "state/game_state.h"
#include "state/options.h"
#include "camera/camera.h"
#include "basics/frame_timer.h"
#include "platform/platform.h"
#include "objects/scene_objects.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Opened once at the first traced frame and kept open: no allocation per frame.
tLineFile Trace;
// The path a failed trace had: it is not tried again while the option names it.
char FailedPath[sizeof(GameOptions.tracePath)] = {};

// Long enough for every enemy of a full table.
constexpr size_t kTraceLineSize = 64 * 1024;
char TraceLine[kTraceLineSize];

// snprintf that advances the cursor and never runs past the end.
void Append(char* buffer, size_t size, size_t& used, const char* format, auto... args) {
    if (used >= size) {
        return;
    }
    const int n = std::snprintf(buffer + used, size - used, format, args...);
    if (n > 0) {
        used = std::min(size - 1, used + static_cast<size_t>(n));
    }
}

} // namespace

size_t FormatTraceLine(uint32_t frame, char* buffer, size_t size) {
    if (size == 0) {
        return 0;
    }
    buffer[0] = '\0';
    size_t used = 0;
    const tVec3 p = Camera.vPosition;
    const tVec3 v = Camera.vView;
    Append(buffer, size, used,
           "frame=%u clock_ms=%u pos=%.2f,%.2f,%.2f view=%.2f,%.2f,%.2f health=%d letters=%u "
           "fps=%d enemies=",
           frame, TimeMs(), static_cast<double>(p.x), static_cast<double>(p.y),
           static_cast<double>(p.z), static_cast<double>(v.x), static_cast<double>(v.y),
           static_cast<double>(v.z), PlayerHealth, LettersCollected,
           static_cast<int>(FramesPerSecond()));
    const int end = TableBound(EnemyEnd);
    for (int id = static_cast<int>(FirstId); id < end; ++id) {
        const tVec3 e = GetPosition(id);
        Append(buffer, size, used, "%s%d:%d:%d:%.2f,%.2f",
               id == static_cast<int>(FirstId) ? "" : ";", id, GetState(id), GetHealth(id),
               static_cast<double>(e.x), static_cast<double>(e.z));
    }
    return used;
}

void WriteTraceLine(uint32_t frame) {
    if (GameOptions.tracePath[0] == '\0') {
        return;
    }
    if (LineFileOpen(Trace) && std::strcmp(Trace.path, GameOptions.tracePath) != 0) {
        CloseTrace();
    }
    if (!LineFileOpen(Trace)) {
        if (std::strcmp(FailedPath, GameOptions.tracePath) == 0) {
            return;
        }
        if (!OpenLineFile(&Trace, "the trace", GameOptions.tracePath, "a")) {
            // Said once; the game plays on untraced.
            ReportNotKept("cannot open the trace file %s: %s", GameOptions.tracePath,
                          std::strerror(errno));
            std::snprintf(FailedPath, sizeof(FailedPath), "%s", GameOptions.tracePath);
            return;
        }
    }
    const size_t length = FormatTraceLine(frame, TraceLine, sizeof(TraceLine));
    AddLines(&Trace, "%.*s\n", static_cast<int>(length), TraceLine);
    // Written through each frame so a crash or a kill keeps every finished frame.
    if (!CommitLines(&Trace)) {
        std::snprintf(FailedPath, sizeof(FailedPath), "%s", GameOptions.tracePath);
    }
}

void CloseTrace() {
    if (LineFileOpen(Trace)) {
        CloseLineFile(&Trace);
    }
    FailedPath[0] = '\0';
}
