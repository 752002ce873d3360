#include "app/window_events.h"

#include "app/display.h"
#include "replay/capture.h"
#include "state/game_state.h"
#include "world/shooting.h"

namespace {

// The mouse-look centre moved with the client area; the cursor still rests on the old one.
// Re-centred here, the next read measures from the new centre instead of taking the shift for a
// turn of the view.
void RecentreCursor() {
    int x = 0, y = 0;
    WindowCentre(&x, &y);
    SetCursorPos(x, y);
}

} // namespace

void HandleWindowEvent(const tEvent& event) {
    switch (event.kind) {
    case kEventResize:
        if (ViewFollowsResize()) {
            ResizeView(static_cast<unsigned>(event.width) & 0xFFFFu,
                       static_cast<unsigned>(event.height) & 0xFFFFu);
            RecentreCursor();
        }
        break;
    case kEventMove:
        // The size is unchanged, so the view stays; only the centre moved on the screen.
        RecentreCursor();
        break;
    case kEventClose:
        PostQuitRequest(0);
        break;
    case kEventKeyDown:
        if (event.key == kKeyEscape) {
            PostQuitRequest(0);
        } else if (event.key == kKeyScreenshot) {
            RequestScreenshot();
        } else if (event.key == kKeyFullScreen) {
            ToggleFullScreen();
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
