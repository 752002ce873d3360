// ostravel.conf: any text leaves every preference at a value the game can use, and never faults.
#include "app/player_config.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The reader names every bad line on standard error; millions of inputs would flood the log,
    // so its messages go nowhere while the sanitizers keep the real descriptor 2.
    static FILE* const Quiet = std::fopen("/dev/null", "w");
    const std::string text(reinterpret_cast<const char*>(data), size);
    tPlayerConfig config;
    FILE* const saved = stderr;
    stderr = Quiet != nullptr ? Quiet : saved;
    ParsePlayerConfig(text.c_str(), "ostravel.conf", &config);
    stderr = saved;
    const bool usable =
        (config.fullScreen == kFullScreenAsk || config.fullScreen == kFullScreenYes ||
         config.fullScreen == kFullScreenNo) &&
        config.mouseSensitivity > 0.0f && config.mouseSensitivity <= 100.0f && config.volume >= 0 &&
        config.volume <= 100;
    if (!usable) {
        __builtin_trap();
    }
    return 0;
}
