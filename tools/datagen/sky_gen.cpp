// The sky box faces and the cloud layer.
#include "datagen.h"
#include "noise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace dg {

// Sky colour seen in direction d (unit vector, game axes: +y up): deep blue
// overhead, paling toward the horizon and ending in the fog colour there, so
// the fogged ground and the sky meet without a seam. Below the horizon it is
// fog colour throughout.
static void SkyColour(Vec3 d, float* r, float* g, float* b) {
    Vec3 fog{kFogR, kFogG, kFogB};
    float up = d.y;
    if (up <= 0.0f) {
        *r = fog.x, *g = fog.y, *b = fog.z;
        return;
    }
    Vec3 zenith{0.20f, 0.38f, 0.74f}, pale{0.56f, 0.68f, 0.86f};
    Vec3 sky = Lerp(pale, zenith, std::pow(up, 0.6f));
    // Faint high haze that drifts nowhere (the clouds are drawn separately).
    float haze = 0.5f + 0.5f * Fbm3(d.x * 3.0f, d.y * 3.0f, d.z * 3.0f, 4, 61u);
    sky = Lerp(sky, pale, 0.25f * haze * (1.0f - up));
    Vec3 c = Lerp(fog, sky, SmoothStep(0.0f, 0.28f, up));
    // A low evening sun in the north-east warms its side of the sky.
    Vec3 sun = Normalized({0.55f, 0.32f, 0.77f});
    float s = std::max(0.0f, Dot(d, sun));
    float glow = 0.55f * std::pow(s, 48.0f) + 0.18f * std::pow(s, 6.0f);
    c = c + Vec3{1.0f, 0.86f, 0.62f} * glow;
    if (s > 0.9994f)
        c = {1.0f, 0.97f, 0.88f};
    *r = c.x, *g = c.y, *b = c.z;
}

// One face of the box. The game draws the faces with fixed texture
// coordinates (see the face table in sky box drawing); for texel column i and
// row r counted from the bottom, a and b below are the face's two texture axes
// on an integer lattice of odd numbers -(N-1) ... N-1, with the face itself at
// +-(N-1). Texels on a shared edge of two faces thus land on exactly the same
// lattice point and get identical colours.
enum class Face { Back, Front, Bottom, Top, Left, Right };

static Vec3 FacePoint(Face f, int a, int b, int e) {
    switch (f) {
    case Face::Top:
        return {static_cast<float>(-a), static_cast<float>(e), static_cast<float>(-b)};
    case Face::Back:
        return {static_cast<float>(a), static_cast<float>(b), static_cast<float>(-e)};
    case Face::Front:
        return {static_cast<float>(-a), static_cast<float>(b), static_cast<float>(e)};
    case Face::Bottom:
        return {static_cast<float>(-a), static_cast<float>(-e), static_cast<float>(b)};
    case Face::Left:
        return {static_cast<float>(-e), static_cast<float>(b), static_cast<float>(-a)};
    case Face::Right:
        return {static_cast<float>(e), static_cast<float>(b), static_cast<float>(a)};
    }
    return {};
}

static Image SkyFace(Face f, int n) {
    Image img(n, n);
    const int e = n - 1;
    for (int y = 0; y < n; ++y) {
        int r = n - 1 - y; // texture row from the bottom (t grows upward)
        for (int i = 0; i < n; ++i) {
            Vec3 d = Normalized(FacePoint(f, 2 * i - e, 2 * r - e, e));
            float cr, cg, cb;
            SkyColour(d, &cr, &cg, &cb);
            img.Set(i, y, cr, cg, cb);
        }
    }
    return img;
}

void GenerateSky(Output& out) {
    const int n = 512;
    out.Bmp("Skies/SkyBox01/Back.bmp", SkyFace(Face::Back, n));
    out.Bmp("Skies/SkyBox01/Front.bmp", SkyFace(Face::Front, n));
    out.Bmp("Skies/SkyBox01/Bottom.bmp", SkyFace(Face::Bottom, n));
    out.Bmp("Skies/SkyBox01/Top.bmp", SkyFace(Face::Top, n));
    out.Bmp("Skies/SkyBox01/Left.bmp", SkyFace(Face::Left, n));
    out.Bmp("Skies/SkyBox01/Right.bmp", SkyFace(Face::Right, n));

    // Clouds: blended with the source colour as its own weight, so black is
    // clear sky and white is cloud. Repeats ten times over the sheet, so it
    // tiles (period 4 cells of 64 texels).
    const int cs = 256;
    Image cloud(cs, cs);
    for (int y = 0; y < cs; ++y)
        for (int x = 0; x < cs; ++x) {
            float v = Fbm2(x / 64.0f, y / 64.0f, 6, 71u, 4);
            float c = SmoothStep(-0.08f, 0.42f, v);
            c = std::pow(c, 1.2f) * 0.95f;
            cloud.Set(x, y, c, c, c);
        }
    out.Bmp("Skies/SkyBox01/Cloud.bmp", cloud);
}

} // namespace dg
