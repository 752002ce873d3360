// File names from data files: backslashes become '/', and a name whose case does not match the
// file on disk is found case-insensitively, one directory level at a time (data made on
// case-blind systems relies on it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Writes the path to open into out; false when the name does not fit or no such file exists
// (out then holds the name with its separators mapped, for messages).
bool ResolveDataPath(const char* name, char* out, size_t outSize);

// Little-endian fields of a file's bytes, whatever the machine; the caller has checked that they
// lie inside the data.
inline uint16_t ReadLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

enum tReadResult { kReadOk, kReadCannotOpen, kReadError, kReadTooLarge };

// The whole file at path (already resolved) appended to bytes, so that readers of outside data
// can bound every later look into it. Too large: more than maxBytes, or more than memory holds;
// bytes then keeps what fitted. A read error keeps what was read before it.
tReadResult ReadWholeFile(const char* path, size_t maxBytes, std::vector<uint8_t>* bytes);
