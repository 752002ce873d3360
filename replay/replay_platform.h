// The replay tools as a platform backend: it wraps another backend (SDL in the game, the test
// backend in tests) and forwards every entry to it, except where the command line's tools take
// over. The clock can run in fixed steps, an input script can replace live keyboard and mouse,
// and the frames asked for are written to files just before each buffer swap. The backend it
// wraps knows nothing of any of this.
#pragma once

#include "platform/platform.h"

#include <cstdint>

// The replay backend over inner; selecting it starts the scripted input afresh (no queued
// events, keys up, live input counted) and the fixed-step clock at 0.
const tPlatformBackend* ReplayPlatform(const tPlatformBackend* inner);

// ---- the clock ----

// Every clock reads a virtual time that starts at 0 and advances by stepMs before each frame.
void SetFixedStep(uint32_t stepMs);
bool FixedStepActive();
// Advances the fixed-step clock by one step; the main loop calls it before each frame. Returns
// the step taken (0 on the live clock).
uint32_t AdvanceFixedStep();
// The step the next frames take, kept until changed (a replayed recording's own steps).
void SetNextFrameStep(uint32_t stepMs);
// For a recording: every clock reads a virtual time that starts at 0 and advances before each
// frame by the real time the frame before took, so the steps can be written down and replayed.
void SetRecordingClock();

// ---- scripted input, fed by the input script ----

// Live keyboard and mouse input is ignored from now on, and so are the window's moves and focus
// changes (a script's window keeps the focus); the window's close still arrives.
void SetLiveInputIgnored(bool ignored);
// Queues an event ahead of the wrapped backend's; a full queue drops the event and says so once.
void InjectEvent(const tEvent& event);
void SetVirtualKey(tKey key, bool down);
// The next cursor read finds the cursor dx, dy pixels away from the last re-centring point.
void SetVirtualCursorOffset(int dx, int dy);
