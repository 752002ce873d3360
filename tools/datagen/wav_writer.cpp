#include "wav_writer.h"

#include "bytes.h"

#include <cmath>

namespace dg {

bool WriteWav(const std::string& path, const std::vector<float>& samples, uint32_t sampleRate) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size()) * 2;
    std::vector<uint8_t> b;
    PutTag(b, "RIFF");
    PutLe(b, 36 + dataBytes, 4);
    PutTag(b, "WAVEfmt ");
    PutLe(b, 16, 4);
    PutLe(b, 1, 2); // PCM
    PutLe(b, 1, 2); // mono
    PutLe(b, sampleRate, 4);
    PutLe(b, sampleRate * 2, 4);
    PutLe(b, 2, 2);
    PutLe(b, 16, 2);
    PutTag(b, "data");
    PutLe(b, dataBytes, 4);
    for (float s : samples) {
        float c = s < -1.0f ? -1.0f : (s > 1.0f ? 1.0f : s);
        int16_t v = static_cast<int16_t>(std::lround(c * 32767.0f));
        PutLe(b, static_cast<uint16_t>(v), 2);
    }
    return WriteFileBytes(path, b);
}

} // namespace dg
