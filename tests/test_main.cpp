// The unit tests' entry: GL tests draw into a hidden window of SDL's offscreen driver and sound
// goes nowhere, unless the environment asks for something else.
// Full stacks: the fast unwinder stops inside the GL driver and loses the library frames that the
// leak suppressions match (the tests draw with softpipe under the sanitizers, see below).
#define OSTRAVEL_ASAN_OPTIONS "fast_unwind_on_malloc=0:detect_leaks=1"
#include "app/sanitizer_hooks.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
#if defined(__SANITIZE_ADDRESS__)
    // llvmpipe registers the frames of the code it compiles while drawing; the sanitizer's full
    // unwinder on malloc then waits on the unwinder's own lock forever. softpipe compiles nothing.
    setenv("GALLIUM_DRIVER", "softpipe", 0);
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
