// The shot: a sharp crack of filtered noise over a falling low thump, with a
// short tail of echo, 0.6 s of mono 16-bit PCM at 44100 Hz.
#include "datagen.h"
#include "noise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace dg {

void GenerateSound(Output& out) {
    const uint32_t rate = 44100;
    const int n = static_cast<int>(rate * 0.6f);
    std::vector<float> s(n);
    Rng rng(2026);
    float low = 0.0f, band = 0.0f, phase = 0.0f;
    for (int i = 0; i < n; ++i) {
        float t = static_cast<float>(i) / rate;
        float white = rng.Range(-1.0f, 1.0f);
        // Two one-pole filters: a dark body and the bright crack.
        low += 0.08f * (white - low);
        band += 0.45f * (white - band);
        float attack = std::min(1.0f, t / 0.0015f);
        float crack = (band - low) * std::exp(-t / 0.018f);
        float body = low * 2.5f * std::exp(-t / 0.09f);
        float freq = 55.0f + 110.0f * std::exp(-t / 0.03f);
        phase += 2.0f * kPi * freq / rate;
        float thump = std::sin(phase) * std::exp(-t / 0.07f);
        s[i] = attack * (0.9f * crack + 0.6f * body + 0.7f * thump);
    }
    // A faint echo off the mountains.
    const int delay = static_cast<int>(rate * 0.17f);
    for (int i = n - 1; i >= delay; --i)
        s[i] += 0.22f * s[i - delay];
    // Fade out the last 50 ms and normalise.
    float peak = 0.0f;
    for (int i = 0; i < n; ++i) {
        float tail = std::min(1.0f, (n - i) / (rate * 0.05f));
        s[i] *= tail;
        peak = std::max(peak, std::fabs(s[i]));
    }
    for (float& v : s)
        v *= 0.9f / peak;
    out.Wav("Sounds/Shot.wav", s, rate);
}

} // namespace dg
