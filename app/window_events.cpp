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
            // The mouse-look centre moved with the client area; the cursor still rests on the
            // old one. Re-centred here, the next read measures from the new centre instead of
            // taking the shift for a turn of the view.
            int originX = 0, originY = 0;
            GetClientOrigin(&originX, &originY);
            SetCursorPos(originX + static_cast<int>(WindowWidth / 2u),
                         originY + static_cast<int>(WindowHeight / 2u));
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
