// Display mode, the GL context and the view.
#pragma once

// Near and far planes of the view, world units, and its vertical field of view in degrees.
constexpr double kNearPlane = 1.0;
constexpr double kFarPlane = 25000.0;
constexpr double kFieldOfView = 45.0;

// Asks the display for the configured size before the full-screen window opens.
void SwitchToFullScreen();
// Full screen over the desktop at its own size, with no display-mode change, instead of the
// mode change to the settings' size; the player's preferences choose it before start-up.
void UseDesktopFullScreen(bool on);
// The settings' width and height, remembered at start-up: the size full screen switches the
// display to, and the window's when a game started full screen leaves it. Under the desktop
// full screen the display is asked for the desktop's size here, and full screen takes that.
void SetFullScreenSize(unsigned width, unsigned height);
// Whether a resize of the window is followed by the view: in a window, and in full screen over
// the desktop, whose window takes its display's size when the display's resolution changes or
// the window goes to another display. Full screen at a display mode keeps the mode's size.
bool ViewFollowsResize();
// Alt+Enter and F11: full screen at the configured size (over the desktop: the size of the
// display the window is on), or back to the window's last size and place; the view follows and
// the cursor is re-centred, so mouse look takes no jump.
void ToggleFullScreen();
// Double-buffered context with a depth buffer, base GL state, multitexture entry points, view.
void CreateGLContext(int width, int height);
// Whether a context with these GL_VERSION and GL_EXTENSIONS strings offers multitexturing: GL
// 1.3 or later, or the GL_ARB_multitexture extension.
bool HasMultitexture(const char* version, const char* extensions);
// Viewport and 45-degree perspective for a client size; runs before the context exists too.
void ResizeView(unsigned width, unsigned height);
// Asks for a swap interval of 0 once a context exists (--no-vsync).
void SetNoVsync(bool on);
