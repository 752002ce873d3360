// Input scripts: recorded or generated play, one event a line, replayed through the same paths
// as live input (event queue, key state, cursor).
//
//   FRAME key NAME down|up     NAME: up down left right w a s d escape f11 f12
//   FRAME mouse DX DY          the next cursor read finds the cursor DX, DY from the centre
//                              (-100000 ... 100000 each)
//   FRAME click left|right
//   FRAME close
//   FRAME resize W H
//   FRAME move                 the window moved on the screen
//   FRAME step MS              the clocks advance MS milliseconds before this frame (and the
//                              frames after it, until the next step line); 0 ... 4294967295
//   seed N                     the random generator's seed at world loading
//   mouse_sensitivity X        the mouse settings the session was played with (a replay
//   invert_mouse yes|no        uses them, or the defaults 1.0 and no, never the player's own)
//
// FRAME is the 0-based frame index; '#' starts a comment. Lines must come in frame order.
//
// A recording (--record) writes the live session in this form: the seed, every frame's step,
// the movement keys' changes as the frame saw them, the cursor's travel that mouse look read,
// and Escape, F12, clicks and window events before the frame that handled them. Played back
// with --script it gives the same frames and the same trace.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>

// The largest cursor travel a mouse line holds, either way, in pixels; a recording writes no more.
constexpr int kScriptMouseLimit = 100000;

// Reads a script. On a malformed line writes "script line N: ..." into error and returns false;
// a path that is no readable regular file is "script line 0: cannot open PATH: REASON".
bool LoadInputScript(const char* path, char* error, size_t errorSize);
// Parses script text (the same rules as a file).
bool ParseInputScript(const char* text, char* error, size_t errorSize);
bool InputScriptLoaded();
// Hands every event of the given frame to the platform layer; true if there were any.
bool InjectScriptEvents(uint32_t frame);
void ClearInputScript();
// Whether the script fixes frame steps, and the seed it names.
bool InputScriptHasSteps();
bool InputScriptSeed(uint32_t* seed);
// The mouse settings the script names, the defaults where it names none.
void InputScriptMouse(float* sensitivity, bool* invert);

// ---- recording ----
// Opens the file and writes the seed and mouse lines, once the game has started; false when it
// cannot be opened (said as a file not kept, kept_files.h). Each frame's lines are written through
// at its end; the first write that fails is said (kept_files.h) and the recording ends at its last
// whole frame.
bool StartRecording(const char* path, uint32_t seed, float mouseSensitivity, bool invertMouse);
// An event the main loop is about to handle before the given frame.
void RecordEvent(uint32_t frame, const tEvent& event);
// The start of a frame: its clock step and the movement keys that changed.
void RecordFrameStart(uint32_t frame, uint32_t stepMs);
// The end of a frame: the cursor travel mouse look read in it.
void RecordFrameEnd(uint32_t frame);
void StopRecording();
