// The --trace FILE option: after every frame one line describing the game's course is appended
// to the file, for replays, scripts and bug hunts. Without the option nothing is written.
//
//   frame=N clock_ms=T pos=X,Y,Z view=X,Y,Z health=H letters=L fps=F
//   enemies=ID:STATE:HEALTH:X,Z;...
//
// N is the 0-based frame index (the one input scripts use), T the game clock in milliseconds,
// positions have two decimals, F is the frames-per-second value truncated as in the title, and
// every enemy id follows in ascending order.
#pragma once

#include <cstddef>
#include <cstdint>

// Formats the trace line of the frame into buffer (no newline); the length written.
size_t FormatTraceLine(uint32_t frame, char* buffer, size_t size);
// Appends the frame's line to GameOptions.tracePath when it is set. A file that cannot be opened
// or written is said once (see kept_files.h) and not tried again while the option names it.
void WriteTraceLine(uint32_t frame);
// Closes the trace file; the shutdown does, and tests between runs.
void CloseTrace();
