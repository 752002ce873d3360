// Bitmaps: any bytes decode to a picture whose pixel buffer matches its size, or are refused
// with one of the reader's messages; never a read outside the bytes.
#include "render/bmp_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* error = nullptr;
    const std::optional<tImage> image = DecodeBmp(data, size, &error);
    if (image) {
        const size_t expected = static_cast<size_t>(image->width) * image->height * 3;
        if (error != nullptr || image->width <= 0 || image->height <= 0 ||
            image->pixels.size() != expected) {
            __builtin_trap();
        }
        // Every byte of the picture is read once, so an uninitialised one shows up under MSan
        // and a short buffer under ASan.
        unsigned sum = 0;
        for (const uint8_t b : image->pixels) {
            sum += b;
        }
        volatile unsigned sink = sum;
        (void)sink;
    } else if (error == nullptr || (std::strcmp(error, kBmpUnknownFormat) != 0 &&
                                    std::strcmp(error, kBmpOutOfMemory) != 0 &&
                                    std::strcmp(error, kBmpConversionError) != 0)) {
        __builtin_trap();
    }
    return 0;
}
