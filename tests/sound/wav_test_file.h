// A sound file tests write: mono 16-bit PCM at 22050 Hz, a square wave of the given amplitude
// (0: silence) with a period of 50 samples.
#pragma once

#include <cstdint>
#include <vector>

inline std::vector<uint8_t> MakeWav(uint32_t samples, int16_t amplitude = 8000) {
    std::vector<uint8_t> w;
    auto put = [&w](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            w.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
    };
    const uint32_t data = samples * 2;
    w.insert(w.end(), {'R', 'I', 'F', 'F'});
    put(36 + data, 4);
    w.insert(w.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2);         // PCM
    put(1, 2);         // mono
    put(22050, 4);     // rate
    put(22050 * 2, 4); // bytes per second
    put(2, 2);         // block
    put(16, 2);        // bits
    w.insert(w.end(), {'d', 'a', 't', 'a'});
    put(data, 4);
    for (uint32_t i = 0; i < samples; ++i) {
        const int16_t v = (i % 50) < 25 ? amplitude : static_cast<int16_t>(-amplitude);
        put(static_cast<uint16_t>(v), 2);
    }
    return w;
}
