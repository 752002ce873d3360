#include "md2_writer.h"

#include "bytes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace dg {

static void PutF(std::vector<uint8_t>& b, float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    PutLe(b, v, 4);
}
static void Put16(std::vector<uint8_t>& b, int16_t v) {
    PutLe(b, static_cast<uint16_t>(v), 2);
}

static bool Check(const Md2Model& m, std::string* error) {
    const size_t nv = m.frames.empty() ? 0 : m.frames[0].vertices.size();
    auto fail = [&](const std::string& why) {
        *error = why;
        return false;
    };
    if (m.frames.empty() || nv == 0)
        return fail("no frames or no vertices");
    if (nv > static_cast<size_t>(kMd2MaxVertices))
        return fail("too many vertices: " + std::to_string(nv));
    if (kMd2FrameHeaderBytes + 4 * nv > static_cast<size_t>(kMd2MaxFrameBytes))
        return fail("frame too large");
    if (m.skins.empty() || m.skinWidth <= 0 || m.skinHeight <= 0)
        return fail("no skin");
    for (const Md2Frame& f : m.frames) {
        if (f.vertices.size() != nv)
            return fail("frame " + f.name + " has a different vertex count");
        if (f.name.empty() || f.name.size() > 15)
            return fail("bad frame name '" + f.name + "'");
    }
    for (const Md2Triangle& t : m.triangles)
        for (int k = 0; k < 3; ++k)
            if (t.vertex[k] < 0 || static_cast<size_t>(t.vertex[k]) >= nv || t.texCoord[k] < 0 ||
                static_cast<size_t>(t.texCoord[k]) >= m.texCoords.size())
                return fail("triangle index out of range");
    for (const std::string& s : m.skins)
        if (s.empty() || s.size() > 63)
            return fail("bad skin name");
    return true;
}

bool WriteMd2(const std::string& path, const Md2Model& m, std::string* error) {
    if (!Check(m, error))
        return false;
    const uint32_t nv = static_cast<uint32_t>(m.frames[0].vertices.size());
    const uint32_t frameSize = kMd2FrameHeaderBytes + 4 * nv;
    const uint32_t nSkins = static_cast<uint32_t>(m.skins.size());
    const uint32_t nSt = static_cast<uint32_t>(m.texCoords.size());
    const uint32_t nTris = static_cast<uint32_t>(m.triangles.size());
    const uint32_t nFrames = static_cast<uint32_t>(m.frames.size());
    const uint32_t ofsSkins = 68;
    const uint32_t ofsSt = ofsSkins + 64 * nSkins;
    const uint32_t ofsTris = ofsSt + 4 * nSt;
    const uint32_t ofsFrames = ofsTris + 12 * nTris;
    const uint32_t ofsGl = ofsFrames + frameSize * nFrames;

    std::vector<uint8_t> b;
    b.reserve(ofsGl);
    PutTag(b, "IDP2");
    for (uint32_t v :
         {8u, static_cast<uint32_t>(m.skinWidth), static_cast<uint32_t>(m.skinHeight), frameSize,
          nSkins, nv, nSt, nTris, 0u, nFrames, ofsSkins, ofsSt, ofsTris, ofsFrames, ofsGl, ofsGl})
        PutLe(b, v, 4);
    for (const std::string& s : m.skins) {
        char name[64] = {};
        std::memcpy(name, s.data(), s.size());
        b.insert(b.end(), name, name + 64);
    }
    for (const auto& st : m.texCoords)
        Put16(b, st[0]), Put16(b, st[1]);
    for (const Md2Triangle& t : m.triangles) {
        for (int k = 0; k < 3; ++k)
            Put16(b, t.vertex[k]);
        for (int k = 0; k < 3; ++k)
            Put16(b, t.texCoord[k]);
    }
    for (const Md2Frame& f : m.frames) {
        // Each frame is quantised to bytes inside its own bounding box.
        Vec3 lo = f.vertices[0], hi = f.vertices[0];
        for (const Vec3& v : f.vertices) {
            lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
            hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
        }
        Vec3 scale = (hi - lo) * (1.0f / 255.0f);
        if (scale.x <= 0.0f)
            scale.x = 1.0f / 255.0f;
        if (scale.y <= 0.0f)
            scale.y = 1.0f / 255.0f;
        if (scale.z <= 0.0f)
            scale.z = 1.0f / 255.0f;
        PutF(b, scale.x), PutF(b, scale.y), PutF(b, scale.z);
        PutF(b, lo.x), PutF(b, lo.y), PutF(b, lo.z);
        char name[16] = {};
        std::memcpy(name, f.name.data(), f.name.size());
        b.insert(b.end(), name, name + 16);
        auto q = [](float v, float origin, float s) {
            long r = std::lround((v - origin) / s);
            return static_cast<uint8_t>(std::clamp(r, 0L, 255L));
        };
        for (const Vec3& v : f.vertices) {
            b.push_back(q(v.x, lo.x, scale.x));
            b.push_back(q(v.y, lo.y, scale.y));
            b.push_back(q(v.z, lo.z, scale.z));
            b.push_back(0); // normal index: the game does not use it
        }
    }
    if (!WriteFileBytes(path, b)) {
        *error = "cannot write the file";
        return false;
    }
    return true;
}

} // namespace dg
