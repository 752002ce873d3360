// The browser's entry point: the game's set-up, then one frame per animation frame (the browser
// draws the canvas between them). The page (tools/web/) calls main with the options of its
// address once the files it names are in place.
#include "app/startup.h"
#include "state/options.h"
#include "platform/platform_web.h"

#include <emscripten.h>

#include <cstdio>

namespace {

bool FirstFrameShown = false;

void Ended(int exitCode) {
    // The trace, the recording and any capture are read by the page after the end.
    std::fflush(nullptr);
    WebReportEnded(exitCode);
}

void AnimationFrame() {
    if (WebGamePaused()) {
        return;
    }
    // Events are handled one pass each, as on the desktop, until a frame is drawn.
    const uint32_t before = FramesDrawn;
    int exitCode = 0;
    while (FramesDrawn == before) {
        if (!MainLoopPass(&exitCode)) {
            emscripten_cancel_main_loop();
            Ended(FinishGame(ShutDown(exitCode)));
            return;
        }
    }
    if (!FirstFrameShown) {
        FirstFrameShown = true;
        WebReportRunning();
    }
}

} // namespace

int main(int argc, char** argv) {
    int exitCode = 0;
    if (!SetUpGame(argc, argv, &exitCode)) {
        Ended(exitCode);
        return exitCode;
    }
    switch (StartGame()) {
    case kStartNoWindow:
        Ended(FinishGame(kExitCouldNotStart));
        return 0;
    case kStartNoSound:
        Ended(FinishGame(ShutDown(kExitNoSound)));
        return 0;
    case kStartRunning:
        break;
    }
    emscripten_set_main_loop(AnimationFrame, 0, false);
    return 0;
}
