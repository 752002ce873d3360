// The game's icon: a round window onto the valley (sky, hills, ground) with the crosshair in
// the middle, on a transparent square. Drawn at any size from one design on a 64-pixel grid.
#include "datagen.h"
#include "dg_math.h"
#include "png_writer.h"

#include <cmath>

namespace dg {

RgbaImage MakeIcon(int side) {
    constexpr float kSide = 64.0f; // the design's grid
    constexpr float kRadius = 30.0f, kRim = 2.5f;
    const float scale = kSide / static_cast<float>(side); // design units a pixel
    RgbaImage icon(side, side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            // The pixel's corner and centre on the design's grid.
            const float gx = static_cast<float>(x) * scale, gy = static_cast<float>(y) * scale;
            const float dx = gx + 0.5f * scale - kSide / 2.0f;
            const float dy = gy + 0.5f * scale - kSide / 2.0f;
            const float r = std::sqrt(dx * dx + dy * dy);
            // Sky fading into the fog colour at the horizon, then hills and darker ground.
            const float fy = gy / kSide;
            const float hill = 0.58f + 0.06f * std::sin(gx * 0.21f);
            float cr, cg, cb;
            if (fy < hill) {
                const float t = fy / hill;
                cr = 0.35f + (kFogR - 0.35f) * t;
                cg = 0.55f + (kFogG - 0.55f) * t;
                cb = 0.85f + (kFogB - 0.85f) * t;
            } else {
                const float t = (fy - hill) / (1.0f - hill);
                cr = 0.38f - 0.16f * t;
                cg = 0.50f - 0.20f * t;
                cb = 0.22f - 0.08f * t;
            }
            // The crosshair: a red ring and four ticks that stop short of the centre.
            const bool ring = std::fabs(r - 11.0f) < 1.2f;
            const bool tick =
                (std::fabs(dx) < 1.0f && std::fabs(dy) > 4.0f && std::fabs(dy) < 16.0f) ||
                (std::fabs(dy) < 1.0f && std::fabs(dx) > 4.0f && std::fabs(dx) < 16.0f);
            if (ring || tick) {
                cr = 0.9f;
                cg = 0.1f;
                cb = 0.08f;
            }
            if (r > kRadius - kRim) { // a dark rim around the view
                cr = cg = cb = 0.12f;
            }
            // Edge pixels partly covered, so the circle is smooth on any background.
            const float alpha = std::fmin(1.0f, std::fmax(0.0f, (kRadius - r) / scale + 0.5f));
            uint8_t* p = icon.At(x, y);
            p[0] = static_cast<uint8_t>(std::lround(Clamp(cr, 0.0f, 1.0f) * 255.0f));
            p[1] = static_cast<uint8_t>(std::lround(Clamp(cg, 0.0f, 1.0f) * 255.0f));
            p[2] = static_cast<uint8_t>(std::lround(Clamp(cb, 0.0f, 1.0f) * 255.0f));
            p[3] = static_cast<uint8_t>(std::lround(alpha * 255.0f));
        }
    }
    return icon;
}

bool GenerateIcon(const std::string& root) {
    // The desktop's, then the two a browser asks of an installable page.
    return WritePng(root + "/Icons/ostravel.png", MakeIcon(64)) &&
           WritePng(root + "/Icons/ostravel-192.png", MakeIcon(192)) &&
           WritePng(root + "/Icons/ostravel-512.png", MakeIcon(512)) &&
           WritePng(root + "/Icons/valley.png", MakeValleyStill(400, 300));
}

} // namespace dg
