// The bytes of the files the generator writes: little-endian fields, four-letter tags, and the
// file itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dg {

// The low `bytes` bytes of v, least significant first.
void PutLe(std::vector<uint8_t>& b, uint32_t v, int bytes);
// A tag's characters, without its terminating zero.
void PutTag(std::vector<uint8_t>& b, const char* tag);
// Writes a file, creating its folders; false when anything fails, the closing flush included.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace dg
