// Defaults for the sanitizer build, included once by each executable's main file after it has
// defined OSTRAVEL_ASAN_OPTIONS. Without the sanitizers nothing calls these functions.
#pragma once

#ifndef OSTRAVEL_ASAN_OPTIONS
#define OSTRAVEL_ASAN_OPTIONS "detect_leaks=1"
#endif

extern "C" {
const char* __asan_default_options() {
    return OSTRAVEL_ASAN_OPTIONS;
}
const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}
}
