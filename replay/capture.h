// Writing chosen frames to image files as they are presented (--capture, F12).
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

// Frame index of the frame being drawn (0-based); the main loop sets it.
extern uint32_t CurrentFrame;

// Writes the back buffer to any capture file asked for this frame, and to a screenshot when one
// was asked for; the replay backend calls it just before each buffer swap. A file not written is
// said on standard error (kept_files.h), a screenshot in the title too.
void WriteRequestedFrames();
// Names each capture whose frame never came (the game ended first) as a file not kept; the
// shutdown calls it.
void ReportMissedCaptures();
// The next presented frame is also saved as a screenshot (SaveScreenshot), and the title says
// where for a moment (F12).
void RequestScreenshot();
// Writes the back buffer as ostravel-YYYYMMDD-HHMMSS.png (local time of when; -2, -3, ... added
// when that name is taken) into the player's screenshot directory, made when first needed.
// True with the file's path in savedPath; false with what failed there instead, and the system's
// reason ("cannot write PATH: No space left on device"); a half-written file is removed.
bool SaveScreenshot(time_t when, char* savedPath, size_t size);
// Reads the back buffer of the current context into path: a PNG file when the name ends in
// ".png", a 24-bit BMP otherwise. False, with errno saying why, unless every byte was written,
// flushed and closed; a file cut short is removed.
bool WriteFrame(const char* path, int width, int height);
// The same into a 24-bit BMP file, whatever the name.
bool WriteFrameBmp(const char* path, int width, int height);
