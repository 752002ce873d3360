// The player's own files, apart from the game's data: personal settings and screenshots, in the
// places the XDG base directory conventions give them.
//   settings     $XDG_CONFIG_HOME/ostravel/Setup.ini      (default ~/.config/ostravel/)
//   preferences  $XDG_CONFIG_HOME/ostravel/ostravel.conf
//   screenshots  $XDG_DATA_HOME/ostravel/screenshots/     (default ~/.local/share/ostravel/)
// An XDG variable that is unset, empty or not an absolute path counts as unset.
#pragma once

#include <cstddef>

// out = the player's copy of Setup.ini; false when no home directory is known or it does not
// fit (out is then empty).
bool UserSettingsPath(char* out, size_t size);
// out = the player's ostravel.conf; false as above.
bool UserConfigPath(char* out, size_t size);
// out = the screenshot directory; false as above. It may not exist yet.
bool UserScreenshotDir(char* out, size_t size);
// Creates dir and its missing parents (mode 0700 for the new ones, as the conventions ask);
// true when dir is a directory afterwards, otherwise false with errno saying why.
bool MakeDirectories(const char* dir);
// path with the home directory written as "~", for messages a player reads.
void ShortenHome(const char* path, char* out, size_t size);
