#include "app/window_events.h"

#include "app/capture.h"
#include "app/display.h"
#include "app/game_state.h"
#include "world/shooting.h"

void HandleWindowEvent(const tEvent& event) {
    switch (event.kind) {
    case kEventResize:
        if (!FullScreen) {
            ResizeView(static_cast<unsigned>(event.width) & 0xFFFFu,
                       static_cast<unsigned>(event.height) & 0xFFFFu);
        }
        break;
    case kEventClose:
        PostQuitRequest(0);
        break;
    case kEventKeyDown:
        if (event.key == kKeyEscape) {
            PostQuitRequest(0);
        } else if (event.key == kKeyScreenshot) {
            RequestScreenshot();
        }
        break;
    case kEventLeftButton:
        FireShot();
        break;
    case kEventRightButton:
    case kEventFocus:
    case kEventQuit:
        break;
    }
}
