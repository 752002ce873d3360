// The browser backend's own controls, for the browser's entry point (app/main_web.cpp) and the
// page around the game (tools/web/). Built only under Emscripten.
#pragma once

#include <cstdint>

// The browser backend (html5.h: keys by physical code, pointer lock, focus, WebGL).
const struct tPlatformBackend* WebPlatform();
// While the player has released the mouse (Escape, or the page lost the pointer), the game
// waits under the page's "Click to resume"; the clocks stand still meanwhile.
bool WebGamePaused();
// Tells the page the game's state: "running" once the first frame is drawn, "ended" with the
// exit code at the end.
void WebReportRunning();
void WebReportEnded(int exitCode);
