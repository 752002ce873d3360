// Defaults for the sanitizer build, included once by each executable's main file. The system's
// window, GL and sound libraries keep some allocations until the process ends; the suppressions
// match frames inside those libraries only, so the game's own leaks are still reported.
#pragma once

extern "C" {
// Full stacks: the fast unwinder stops inside the GL driver and loses the library frames that the
// suppressions match.
const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0:detect_leaks=1";
}
const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}
const char* __lsan_default_suppressions() {
    return "leak:libSDL2\n"
           "leak:libSDL2_mixer\n"
           "leak:libGLdispatch\n"
           "leak:libGLX\n"
           "leak:libEGL\n"
           "leak:libgbm\n"
           "leak:libLLVM\n"
           "leak:swrast_dri\n"
           "leak:libX11\n"
           "leak:libxcb\n"
           "leak:libdbus\n"
           "leak:libfontconfig\n"
           "leak:libpulse\n"
           "leak:libasound\n";
}
}
