// The world drawn at a smaller size and stretched to the window, so that a machine that fills
// pixels slowly draws fewer of them; the overlay (hit flash, crosshair, text) is drawn after the
// stretch at the window's own size and stays sharp. At full size nothing here touches the GL:
// the frame is drawn exactly as without it.
//
// The stretch copies the drawn area into a texture (glCopyTexSubImage2D, GL 1.1, which every
// GL and the browser's GL offer) and draws that texture over the window with linear filtering.
// An off-screen framebuffer and a blit cost Mesa's software renderer as much as the textured
// quad (both fill every window pixel from a filtered texture), so the one path serves all GLs.
#pragma once

// ---- whole run: the player's choice, then the controller's scale under `automatic` ----
// A fixed scale (brought into kMinRenderScale ... kMaxRenderScale), or automatic, starting at
// full size.
void SetRenderScale(float scale, bool automatic);
// The scale the next frame is drawn at.
float RenderScaleInUse();
bool RenderScaleAutomatic();
// Steps the automatic scale has taken since start-up, down or up.
int RenderScaleSteps();
// Under automatic scaling, one frame's update and drawing in milliseconds of the real clock, the
// swap's wait for the display left out (fed on every frame, with or without --stats): the
// controller may change the scale for the next frame. Ignored under a fixed scale.
void RenderScaleFrameTime(float frameMs);

// ---- each frame, around the world's drawing ----
// Below full size the viewport and the scissor box (for the frame's clear) shrink to the scaled
// area in the window's lower-left corner (the projection stays: the scaled area keeps the
// window's shape).
void BeginWorldView();
// Below full size: copies the scaled area into the stretch texture and draws it over the whole
// window, then gives the viewport back to the window, scissor test off. Leaves texturing on unit 0
// with the stretch texture bound, lighting, fog and blending off, depth test on, the model-view
// identity.
void EndWorldView();
