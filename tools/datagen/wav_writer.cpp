#include "wav_writer.h"

#include "bmp_writer.h"

#include <cmath>

namespace dg {

static void PutTag(std::vector<uint8_t>& b, const char* tag) {
    for (; *tag; ++tag)
        b.push_back(static_cast<uint8_t>(*tag));
}

static void Put(std::vector<uint8_t>& b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b.push_back((v >> (8 * i)) & 0xFF);
}

bool WriteWav(const std::string& path, const std::vector<float>& samples, uint32_t sampleRate) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size()) * 2;
    std::vector<uint8_t> b;
    PutTag(b, "RIFF");
    Put(b, 36 + dataBytes, 4);
    PutTag(b, "WAVEfmt ");
    Put(b, 16, 4);
    Put(b, 1, 2); // PCM
    Put(b, 1, 2); // mono
    Put(b, sampleRate, 4);
    Put(b, sampleRate * 2, 4);
    Put(b, 2, 2);
    Put(b, 16, 2);
    PutTag(b, "data");
    Put(b, dataBytes, 4);
    for (float s : samples) {
        float c = s < -1.0f ? -1.0f : (s > 1.0f ? 1.0f : s);
        int16_t v = static_cast<int16_t>(std::lround(c * 32767.0f));
        Put(b, static_cast<uint16_t>(v), 2);
    }
    return WriteFileBytes(path, b);
}

} // namespace dg
