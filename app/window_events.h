// What the game does with each window event.
#pragma once

#include "platform/platform.h"

// Close and Escape post the quit request (exit code 0); a left press fires one shot; the right
// button does nothing; a resize of a windowed game resizes the view; a resize or a move re-centres
// the cursor so mouse look takes no turn from it; every other key is swallowed.
void HandleWindowEvent(const tEvent& event);
