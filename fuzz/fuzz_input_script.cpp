// Input scripts: any text is read or refused with a line number, and never faults.
#include "replay/input_script.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    char error[256];
    if (!ParseInputScript(text.c_str(), error, sizeof(error))) {
        if (std::strncmp(error, "script line ", 12) != 0) {
            __builtin_trap();
        }
    }
    ClearInputScript();
    return 0;
}
