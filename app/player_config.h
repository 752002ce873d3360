// The player's preferences, $XDG_CONFIG_HOME/ostravel/ostravel.conf: one "key = value" a line,
// '#' starts a comment. Keys:
//   fullscreen         ask | yes | no   the start-up question, or its answer given beforehand
//   mouse_sensitivity  a number > 0     1.0 turns the view 0.001 rad per pixel, the game's own
//   invert_mouse       yes | no         moving the mouse up looks down
//   vsync              yes | no         wait for the display between frames
//   volume             0 ... 100        the sound's loudness in percent
//   render_scale       0.25 ... 1 | auto the share of the window's sides the world is drawn at
//   fullscreen_mode    mode | desktop   full screen by a display-mode change to the settings'
//                                       size, or over the desktop at its own size
// A missing file keeps every default; anything else there that cannot be read as a file (a
// directory, say) is named on standard error and keeps them too. An unknown key or a bad value is
// named on standard error and the key keeps its default; the command line overrides the file.
#pragma once

enum tFullScreenChoice { kFullScreenAsk, kFullScreenYes, kFullScreenNo };

struct tPlayerConfig {
    tFullScreenChoice fullScreen = kFullScreenAsk;
    float mouseSensitivity = 1.0f;
    bool invertMouse = false;
    bool vsync = true;
    int volume = 100;
    float renderScale = 1.0f;
    bool renderScaleAuto = false;
    bool desktopFullScreen = false;
};

// Reads the text of a preferences file into config; fileName names it in the messages.
void ParsePlayerConfig(const char* text, const char* fileName, tPlayerConfig* config);
// Reads the player's file (nothing when there is none) into config.
void ReadPlayerConfig(tPlayerConfig* config);
// Puts config into effect for what the command line (GameOptions) left open: the full-screen
// question, vsync, the render scale, and the mouse, the sound and the full-screen mode, which
// have no options.
void ApplyPlayerConfig(const tPlayerConfig& config);
