// Presenting a frame, and writing chosen frames to BMP files on the way (--capture).
#pragma once

#include <cstdint>

// Frame index of the frame being drawn (0-based); the main loop sets it.
extern uint32_t CurrentFrame;

// Writes the back buffer to any capture file asked for this frame, then swaps buffers.
void PresentFrame();
// The next presented frame is also written to the first free ostravel-NNNN.bmp of the working
// directory, and the title says so for a moment (F12).
void RequestScreenshot();
// Reads the back buffer of the current context into a 24-bit BMP file.
bool WriteFrameBmp(const char* path, int width, int height);
