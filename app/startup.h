// Start-up, settings, the main loop and shutdown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>

// The settings shipped with the game's data; a player's own copy (see platform/user_dirs.h) is
// read instead when it exists.
constexpr const char* kSharedSettingsPath = "Data/Setup.ini";
// Settings the game falls back on when the settings file is missing or holds no usable number.
constexpr uint32_t kDefaultWidth = 800;
constexpr uint32_t kDefaultHeight = 600;
constexpr uint32_t kDefaultColorBits = 32;
// Largest client side the settings may ask for.
constexpr uint32_t kMaxWindowSide = 16384;

// The exit codes of failures found while playing (0 the game ended, 1 the shot sound, 2 the
// command line or an input script). A stronger code goes before kExitNotKept: the display's loss
// and the codes of 1 and 2 are given whatever else was lost.
constexpr int kExitNotKept = 4;     // a file the player asked for was not written whole
constexpr int kExitDisplayLost = 5; // the display went away under the running game

// Frames drawn since the main loop started.
extern uint32_t FramesDrawn;

// Reads width, height and colour depth. A value that cannot be read leaves it and every later
// one unread; the caller keeps its defaults for those. Returns how many values were read.
int ReadSettings(const char* path, uint32_t* width, uint32_t* height, uint32_t* colorBits);
// The same from any stream of text.
int ReadSettingsFrom(std::istream& in, uint32_t* width, uint32_t* height, uint32_t* colorBits);
// The settings file start-up reads: the player's own Setup.ini when it exists (true), otherwise
// the one in the game's data (false).
bool SettingsPath(char* out, size_t size);
// Reads the settings file into WindowWidth, WindowHeight and ColorBits; what is missing or no
// window could use is said on standard error (naming the file, after the data directory's name
// when the file is the data's) and replaced by the defaults. A file that is not a readable
// regular file (a directory, say) is refused with its reason.
void LoadSettings();

// The exit code of a game whose sound cannot start.
constexpr int kExitNoSound = 1;

// How start-up ended.
enum tStartResult {
    kStartRunning,  // the main loop may run
    kStartNoWindow, // the window could not be created
    kStartNoSound,  // the world loaded but the sound did not start: the game cannot go on
};
// Start-up up to the main loop on the selected platform backend: the full-screen question (or
// the options' answer), the settings, the window, the world and, once all of them are in
// place, the recording.
tStartResult StartGame();
// The whole game on the selected platform backend: start-up, world loading, the main loop and
// shutdown. Returns the exit code of the quit request; kExitCouldNotStart if the window cannot
// be created, and kExitNoSound, after the shutdown sequence, if the sound cannot start.
int RunGame();
// Handles one event, or runs one frame when no event waits. Returns false once the quit
// request has been taken, with its exit code in *exitCode.
bool MainLoopPass(int* exitCode);
// The shutdown sequence: the window and its context go, the recording and the trace are closed,
// the sound is closed. Returns exitCode, or kExitNotKept in place of 0 when a file the player
// asked for was not kept.
int ShutDown(int exitCode);
// The display has gone under the game: says so, closes the recording as at the window's close
// and the trace, and ends the process with kExitDisplayLost.
[[noreturn]] void EndOnLostDisplay(const char* what);

// The command line up to the main loop: options, the player's configuration, the input script,
// the system's backend under the replay tools, the seed, and whether the recording's file can be
// written (it is touched only once the game has started). False when the game is not to run,
// with its exit code (0 after --help, 2 for a bad command line, script or recording file).
bool SetUpGame(int argc, char** argv, int* exitCode);
// After the shutdown: the statistics asked for; returns exitCode.
int FinishGame(int exitCode);
// The command-line entry: SetUpGame, RunGame, FinishGame.
int GameMain(int argc, char** argv);
