// Data/Setup.ini: any bytes give at most three numbers and never a fault.
#include "app/startup.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    uint32_t width = 0, height = 0, bits = 0;
    const int read = ReadSettingsFrom(in, &width, &height, &bits);
    if (read < 0 || read > 3) {
        __builtin_trap();
    }
    return 0;
}
