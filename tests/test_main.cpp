// The unit tests' entry: GL tests draw into a hidden window of SDL's offscreen driver and sound
// goes nowhere, unless the environment asks for something else.
// Under AddressSanitizer the tests check memory use and undefined behaviour, not leaks: the GL
// driver's own allocations cannot be told from ours without full stacks, and full stacks
// deadlock llvmpipe's code compiler. Leaks are checked by the fuzzers (every reader of data
// files, no GL) and by the valgrind run of the real game.
#define OSTRAVEL_ASAN_OPTIONS "detect_leaks=0"
#include "replay/sanitizer_hooks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing::InitGoogleTest(&argc, argv);
    // The player's own settings and screenshots of whoever runs the tests stay out of them.
    const std::string scratch = testing::TempDir();
    setenv("XDG_CONFIG_HOME", (scratch + "xdg-config").c_str(), 1);
    setenv("XDG_DATA_HOME", (scratch + "xdg-data").c_str(), 1);
    return RUN_ALL_TESTS();
}
