// Input scripts: recorded or generated play, one event a line, replayed through the same paths
// as live input (event queue, key state, cursor).
//
//   FRAME key NAME down|up     NAME: up down left right w a s d escape f12
//   FRAME mouse DX DY          the next cursor read finds the cursor DX, DY from the centre
//   FRAME click left|right
//   FRAME close
//   FRAME resize W H
//
// FRAME is the 0-based frame index; '#' starts a comment. Lines must come in frame order.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads a script. On a malformed line writes "script line N: ..." into error and returns false.
bool LoadInputScript(const char* path, char* error, size_t errorSize);
// Parses script text (the same rules as a file).
bool ParseInputScript(const char* text, char* error, size_t errorSize);
bool InputScriptLoaded();
// Hands every event of the given frame to the platform layer; true if there were any.
bool InjectScriptEvents(uint32_t frame);
void ClearInputScript();
