// Mono 16-bit PCM WAV writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dg {

// Samples in -1 ... 1 are clamped and written as signed 16-bit values.
bool WriteWav(const std::string& path, const std::vector<float>& samples, uint32_t sampleRate);

} // namespace dg
