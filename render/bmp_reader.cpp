#include "render/bmp_reader.h"

#include "platform/data_path.h"
#include "platform/platform.h"

#include <new>
#include <string>

namespace {

// Compression field values of the info header.
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitFields = 3;

// Header sizes: "BM" file header, the Windows info header, the older OS/2 core header.
constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kCoreHeaderBytes = 12;

// Whether [offset, offset + length) lies inside a buffer of size bytes, without overflow.
bool Fits(size_t size, uint64_t offset, uint64_t length) {
    return offset <= size && length <= size - offset;
}

// One colour channel given by a mask: where its bits start and how many there are. A mask
// whose bits are not one run cannot be decoded.
struct tChannel {
    uint32_t mask;
    int shift;
    int bits;
};

bool MakeChannel(uint32_t mask, tChannel& channel) {
    channel = {mask, 0, 0};
    if (mask == 0) {
        return true;
    }
    while (((mask >> channel.shift) & 1u) == 0) {
        ++channel.shift;
    }
    const uint32_t run = mask >> channel.shift;
    while (channel.bits < 32 && ((run >> channel.bits) & 1u) != 0) {
        ++channel.bits;
    }
    return channel.bits == 32 || (run >> channel.bits) == 0;
}

// The channel's value widened to 0 ... 255: rounded for narrow fields (31 -> 255, 16 -> 132),
// the top eight bits for wide ones.
uint8_t ChannelValue(const tChannel& channel, uint32_t pixel) {
    if (channel.bits == 0) {
        return 0;
    }
    const uint32_t v = (pixel & channel.mask) >> channel.shift;
    if (channel.bits >= 8) {
        return static_cast<uint8_t>(v >> (channel.bits - 8));
    }
    const uint32_t top = (1u << channel.bits) - 1u;
    return static_cast<uint8_t>((v * 255u + top / 2u) / top);
}

// What the headers say, checked against the data.
// Every later step reads only this record, never the raw header fields again.
struct tBitmapInfo {
    int32_t width;
    int32_t height; // positive: rows of the picture, bottom-up or top-down as topDown says
    bool topDown;
    uint32_t bitCount;
    uint32_t compression;
    // Colour table as RGB triples; indices at or past its length read black.
    std::vector<uint8_t> palette;
    size_t paletteLength;
    tChannel channels[3]; // red, green, blue for 16- and 32-bit images
    size_t pixelOffset;
};

// One decode of one buffer: the data pointer and size travel with every step, and every read
// is checked against them with Fits first.
class tDecoder {
  public:
    tDecoder(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    const char* Decode(tImage& image);

  private:
    const char* ReadHeaders(tBitmapInfo& info);
    const char* DecodeUncompressed(const tBitmapInfo& info, tImage& image);
    void DecodeRunLength(const tBitmapInfo& info, tImage& image);
    void PutIndex(const tBitmapInfo& info, tImage& image, int64_t x, int64_t y, uint32_t index);

    const uint8_t* data_;
    size_t size_;
};

const char* tDecoder::ReadHeaders(tBitmapInfo& info) {
    // A file starts with "BM" and its 14-byte header; anything else is taken as a bare bitmap
    // that begins with its info header.
    size_t infoOffset = 0;
    uint32_t fileOffBits = 0;
    if (size_ >= 2 && data_[0] == 'B' && data_[1] == 'M') {
        if (!Fits(size_, 0, kFileHeaderBytes)) {
            return kBmpUnknownFormat;
        }
        fileOffBits = ReadLe32(data_ + 10);
        infoOffset = kFileHeaderBytes;
    }
    if (!Fits(size_, infoOffset, 4)) {
        return kBmpUnknownFormat;
    }
    const uint8_t* h = data_ + infoOffset;
    const uint32_t headerSize = ReadLe32(h);
    size_t entryBytes = 4;
    uint32_t colorsUsed = 0;
    if (headerSize == kInfoHeaderBytes && Fits(size_, infoOffset, kInfoHeaderBytes)) {
        info.width = static_cast<int32_t>(ReadLe32(h + 4));
        const int32_t height = static_cast<int32_t>(ReadLe32(h + 8));
        info.bitCount = ReadLe16(h + 14);
        info.compression = ReadLe32(h + 16);
        colorsUsed = ReadLe32(h + 32) & 0xFFFFu;
        // Guard the negation: the most negative value is far past any accepted size anyway.
        if (height < -kBmpMaxSide) {
            return kBmpOutOfMemory;
        }
        info.topDown = height < 0;
        info.height = height < 0 ? -height : height;
    } else if (headerSize == kCoreHeaderBytes && Fits(size_, infoOffset, kCoreHeaderBytes)) {
        info.width = ReadLe16(h + 4);
        info.height = ReadLe16(h + 6);
        info.topDown = false;
        info.bitCount = ReadLe16(h + 10);
        info.compression = kBiRgb;
        entryBytes = 3;
    } else {
        return kBmpUnknownFormat;
    }

    // Depths each compression can carry; anything else is a file the game cannot show.
    switch (info.compression) {
    case kBiRgb:
        if (info.bitCount != 1 && info.bitCount != 4 && info.bitCount != 8 && info.bitCount != 16 &&
            info.bitCount != 24 && info.bitCount != 32) {
            return kBmpConversionError;
        }
        break;
    case kBiRle8:
    case kBiRle4:
        // Run-length images are bottom-up only, at their own depth.
        if (info.bitCount != (info.compression == kBiRle8 ? 8u : 4u) || info.topDown) {
            return kBmpConversionError;
        }
        break;
    case kBiBitFields:
        if (info.bitCount != 16 && info.bitCount != 32) {
            return kBmpConversionError;
        }
        break;
    default:
        return kBmpConversionError;
    }
    if (info.width <= 0 || info.height <= 0) {
        return kBmpConversionError;
    }
    if (info.width > kBmpMaxSide || info.height > kBmpMaxSide ||
        static_cast<int64_t>(info.width) * info.height > kBmpMaxPixels) {
        return kBmpOutOfMemory;
    }

    // The colour masks follow a 40-byte header; the default masks are 5-5-5 and 8-8-8.
    size_t tableOffset = infoOffset + headerSize;
    uint32_t masks[3] = {0x7C00u, 0x03E0u, 0x001Fu};
    if (info.bitCount == 32) {
        masks[0] = 0xFF0000u;
        masks[1] = 0x00FF00u;
        masks[2] = 0x0000FFu;
    }
    // Some writers mark 16-bit files as masked but leave the masks out, the file header's pixel
    // offset pointing right after the info header: those keep the default masks.
    const bool masksOmitted = fileOffBits != 0 && fileOffBits < tableOffset + 12;
    if (info.compression == kBiBitFields && !masksOmitted) {
        if (!Fits(size_, tableOffset, 12)) {
            return kBmpConversionError;
        }
        for (int c = 0; c < 3; ++c) {
            masks[c] = ReadLe32(data_ + tableOffset + 4 * c);
        }
        tableOffset += 12;
    }
    for (int c = 0; c < 3; ++c) {
        if (!MakeChannel(masks[c], info.channels[c])) {
            return kBmpUnknownFormat;
        }
    }

    // Colour table: the colours-used count when given, else the full table of the depth.
    info.paletteLength = colorsUsed;
    if (info.paletteLength == 0 && info.bitCount <= 8) {
        info.paletteLength = size_t{1} << info.bitCount;
    }
    if (!Fits(size_, tableOffset, static_cast<uint64_t>(info.paletteLength) * entryBytes)) {
        return kBmpConversionError;
    }
    // Stored blue, green, red (and a reserved byte in 4-byte entries); kept as red, green, blue.
    info.palette.resize(info.paletteLength * 3);
    for (size_t i = 0; i < info.paletteLength; ++i) {
        const uint8_t* e = data_ + tableOffset + i * entryBytes;
        info.palette[i * 3 + 0] = e[2];
        info.palette[i * 3 + 1] = e[1];
        info.palette[i * 3 + 2] = e[0];
    }

    // The file header's offset places the pixels; a bare bitmap (or an offset of 0) has them
    // right after the colour table.
    info.pixelOffset = tableOffset + info.paletteLength * entryBytes;
    if (fileOffBits != 0) {
        info.pixelOffset = fileOffBits;
    }
    if (info.pixelOffset >= size_) {
        return kBmpConversionError;
    }
    return nullptr;
}

void tDecoder::PutIndex(const tBitmapInfo& info, tImage& image, int64_t x, int64_t y,
                        uint32_t index) {
    if (x < 0 || y < 0 || x >= info.width || y >= info.height || index >= info.paletteLength) {
        return;
    }
    uint8_t* out = &image.pixels[(static_cast<size_t>(y) * info.width + x) * 3];
    out[0] = info.palette[index * 3 + 0];
    out[1] = info.palette[index * 3 + 1];
    out[2] = info.palette[index * 3 + 2];
}

const char* tDecoder::DecodeUncompressed(const tBitmapInfo& info, tImage& image) {
    // File rows are padded to a multiple of four bytes; all of them must be there.
    const size_t stride = (static_cast<size_t>(info.width) * info.bitCount + 31) / 32 * 4;
    if (!Fits(size_, info.pixelOffset, static_cast<uint64_t>(stride) * info.height)) {
        return kBmpConversionError;
    }
    for (int32_t r = 0; r < info.height; ++r) {
        const uint8_t* row = data_ + info.pixelOffset + static_cast<size_t>(r) * stride;
        // Output rows run bottom-up; a top-down file's first row is the picture's top.
        const int32_t y = info.topDown ? info.height - 1 - r : r;
        uint8_t* out = &image.pixels[static_cast<size_t>(y) * info.width * 3];
        for (int32_t x = 0; x < info.width; ++x, out += 3) {
            uint32_t pixel = 0;
            // Colour-table depths pack pixels from the high bits of each byte down; 16- and 32-bit
            // pixels are little-endian words split by the channel masks.
            switch (info.bitCount) {
            case 1:
                PutIndex(info, image, x, y, (row[x >> 3] >> (7 - (x & 7))) & 1u);
                continue;
            case 4:
                PutIndex(info, image, x, y, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu);
                continue;
            case 8:
                PutIndex(info, image, x, y, row[x]);
                continue;
            case 24:
                out[0] = row[x * 3 + 2];
                out[1] = row[x * 3 + 1];
                out[2] = row[x * 3 + 0];
                continue;
            case 16:
                pixel = ReadLe16(row + x * 2);
                break;
            default:
                pixel = ReadLe32(row + x * 4);
                break;
            }
            out[0] = ChannelValue(info.channels[0], pixel);
            out[1] = ChannelValue(info.channels[1], pixel);
            out[2] = ChannelValue(info.channels[2], pixel);
        }
    }
    return nullptr;
}

// Run-length images: pairs of (count, colour) and escapes (0, 0) end of row, (0, 1) end of
// picture, (0, 2, dx, dy) a jump, (0, n) n literal pixels padded to a 16-bit boundary. Pixels the
// stream never reaches stay black; a stream cut short ends the picture where it stops.
void tDecoder::DecodeRunLength(const tBitmapInfo& info, tImage& image) {
    const bool four = info.compression == kBiRle4;
    size_t p = info.pixelOffset;
    int64_t x = 0;
    int64_t y = 0;
    while (Fits(size_, p, 2) && y < info.height) {
        const uint32_t count = data_[p];
        const uint32_t value = data_[p + 1];
        p += 2;
        if (count > 0) {
            // A run: at 4 bits the two nibbles of the colour byte alternate, high one first.
            for (uint32_t i = 0; i < count && x < info.width; ++i, ++x) {
                const uint32_t index = four ? ((i & 1) ? value & 0xFu : value >> 4) : value;
                PutIndex(info, image, x, y, index);
            }
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (!Fits(size_, p, 2)) {
                return;
            }
            x += data_[p];
            y += data_[p + 1];
            p += 2;
        } else {
            const size_t bytes = four ? (value + 1) / 2 : value;
            if (!Fits(size_, p, bytes)) {
                return;
            }
            for (uint32_t i = 0; i < value; ++i, ++x) {
                const uint8_t b = data_[p + (four ? i / 2 : i)];
                PutIndex(info, image, x, y, four ? ((i & 1) ? b & 0xFu : b >> 4) : b);
            }
            p += bytes + (bytes & 1);
        }
    }
}

const char* tDecoder::Decode(tImage& image) {
    tBitmapInfo info{};
    if (const char* error = ReadHeaders(info)) {
        return error;
    }
    image.width = info.width;
    image.height = info.height;
    try {
        // Zero: black wherever a run-length stream leaves pixels out.
        image.pixels.assign(static_cast<size_t>(info.width) * info.height * 3, 0);
    } catch (const std::bad_alloc&) {
        return kBmpOutOfMemory;
    }
    if (info.compression == kBiRle8 || info.compression == kBiRle4) {
        DecodeRunLength(info, image);
        return nullptr;
    }
    return DecodeUncompressed(info, image);
}

} // namespace

std::optional<tImage> DecodeBmp(const uint8_t* data, size_t size, const char** error) {
    tImage image{};
    const char* failure = data == nullptr ? kBmpUnknownFormat : tDecoder(data, size).Decode(image);
    if (error != nullptr) {
        *error = failure;
    }
    if (failure != nullptr) {
        return std::nullopt;
    }
    return image;
}

std::optional<tImage> LoadBmpImage(const char* fileName) {
    if (fileName == nullptr) {
        return std::nullopt;
    }
    // The whole file in memory, then the decoder works on bytes it can bound. Data names use
    // backslashes and may differ in case from the file on disk.
    std::vector<uint8_t> bytes;
    char path[1024];
    const tReadResult read = ResolveDataPath(fileName, path, sizeof(path))
                                 ? ReadWholeFile(path, SIZE_MAX, &bytes)
                                 : kReadCannotOpen;
    if (read == kReadTooLarge) {
        ShowDataError(kBmpOutOfMemory);
        return std::nullopt;
    }
    if (read != kReadOk) {
        const std::string message = std::string("Failed to open DIB file ") + fileName + ".\n";
        ShowDataError(message.c_str());
        return std::nullopt;
    }
    const char* error = nullptr;
    std::optional<tImage> image = DecodeBmp(bytes.data(), bytes.size(), &error);
    if (!image) {
        ShowDataError(error);
    }
    return image;
}
