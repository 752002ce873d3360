// The bitmap reader under the texture loader: Windows device-independent bitmaps, with or
// without the 14-byte file header, with the 40-byte or the 12-byte info header; 1-, 4- and 8-bit
// colour-table images (uncompressed or run-length encoded at 4 and 8 bits), 16-, 24- and 32-bit
// images, and 16- and 32-bit images with colour masks. Every variant becomes 24-bit RGB.
//
// Bad files never read outside their bytes: each one is refused with one of the messages below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The reader's refusals, as the player sees them (caption "Error").
inline constexpr const char* kBmpUnknownFormat = "Unknown DIB file format.";
inline constexpr const char* kBmpOutOfMemory = "Out of memory.";
inline constexpr const char* kBmpConversionError = "Image file conversion error.";

// Largest picture accepted: 32768 pixels a side, 64 M pixels in all (192 MiB of RGB). Larger
// sizes are refused as "Out of memory." before anything is allocated.
constexpr int32_t kBmpMaxSide = 32768;
constexpr int64_t kBmpMaxPixels = 64LL * 1024 * 1024;

struct tImage {
    int32_t width;  // pixels per row
    int32_t height; // rows; a top-down file is flipped, so this is always positive
    // R, G, B per pixel; rows follow each other without padding, the bottom row first.
    std::vector<uint8_t> pixels;
};

// Decodes a whole bitmap file held in memory. On failure returns none and, when error is not
// null, points it at the message for the player.
std::optional<tImage> DecodeBmp(const uint8_t* data, size_t size, const char** error);
// Reads and decodes a file (name as in the game's data: separators and case are resolved);
// shows the failure's message once and returns none.
std::optional<tImage> LoadBmpImage(const char* fileName);
