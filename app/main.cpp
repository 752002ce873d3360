// The executable: everything else lives in the game library.
#include "app/sanitizer_hooks.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    return GameMain(argc, argv);
}
