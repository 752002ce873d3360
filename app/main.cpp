// The executable: everything else lives in the game library.
// Under AddressSanitizer the game checks memory use but not leaks: the software GL driver's
// allocations can only be told apart with full stacks, and full stacks deadlock its code
// compiler. The game's leaks are checked by the valgrind run of the real binary instead.
#define OSTRAVEL_ASAN_OPTIONS "detect_leaks=0"
#include "replay/sanitizer_hooks.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    return GameMain(argc, argv);
}
