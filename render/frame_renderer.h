// Drawing one frame.
#pragma once

// The whole frame in its fixed order, then present it and show the frame rate in the title.
void RenderFrame();
