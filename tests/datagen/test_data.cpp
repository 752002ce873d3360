#include "test_data.h"

#include "datagen.h"

#include <cmath>
#include <sstream>
#include <unistd.h>

namespace dgtest {

std::string GenerateInto(const std::string& name) {
    std::filesystem::path root = std::filesystem::temp_directory_path() /
                                 ("ostravel_datagen_" + std::to_string(getpid()) + "_" + name);
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    if (!dg::GenerateAll(root.string()))
        return "";
    return root.string();
}

const std::string& DataDir() {
    // The build's own Data/ (the gamedata target runs before the tests are
    // built); a fresh run of the generator when there is none.
#ifdef DATAGEN_BUILT_DATA
    static const std::string dir = std::filesystem::exists(DATAGEN_BUILT_DATA "/Levels/Level01.olv")
                                       ? std::string(DATAGEN_BUILT_DATA)
                                       : GenerateInto("main") + "/Data";
#else
    static const std::string dir = GenerateInto("main") + "/Data";
#endif
    return dir;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

Bmp ReadBmp(const std::string& path) {
    Bmp img;
    std::vector<uint8_t> b = ReadBytes(path);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        img.why = "not a BMP";
        return img;
    }
    if (I32(b, 14) != 40 || I16(b, 28) != 24 || I32(b, 30) != 0 || I16(b, 26) != 1) {
        img.why = "not a 24-bit uncompressed bitmap with a 40-byte header";
        return img;
    }
    img.width = I32(b, 18), img.height = I32(b, 22);
    const size_t offset = static_cast<size_t>(I32(b, 10));
    const size_t row = (static_cast<size_t>(img.width) * 3 + 3) & ~size_t{3};
    if (img.width <= 0 || img.height <= 0 || offset + row * img.height > b.size()) {
        img.why = "bad size";
        return img;
    }
    img.rgb.resize(static_cast<size_t>(img.width) * img.height * 3);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            for (int c = 0; c < 3; ++c)
                img.rgb[(static_cast<size_t>(y) * img.width + x) * 3 + c] =
                    b[offset + y * row + x * 3 + 2 - c];
    img.ok = true;
    return img;
}

Md2 ReadMd2(const std::string& path) {
    Md2 m;
    std::vector<uint8_t> b = ReadBytes(path);
    if (b.size() < 68) {
        m.why = "short file";
        return m;
    }
    m.version = I32(b, 4), m.skinWidth = I32(b, 8), m.skinHeight = I32(b, 12);
    m.frameSize = I32(b, 16), m.numVertices = I32(b, 24);
    const int nSkins = I32(b, 20), nSt = I32(b, 28), nTris = I32(b, 32), nFrames = I32(b, 40);
    const size_t ofsSkins = I32(b, 44), ofsSt = I32(b, 48), ofsTris = I32(b, 52),
                 ofsFrames = I32(b, 56);
    if (ofsFrames + static_cast<size_t>(nFrames) * m.frameSize > b.size() ||
        ofsSkins + 64 * nSkins > b.size() || ofsSt + 4 * nSt > b.size() ||
        ofsTris + 12 * nTris > b.size()) {
        m.why = "sections past the end of the file";
        return m;
    }
    for (int i = 0; i < nSkins; ++i)
        m.skins.push_back(
            std::string(reinterpret_cast<const char*>(&b[ofsSkins + 64 * i]),
                        strnlen(reinterpret_cast<const char*>(&b[ofsSkins + 64 * i]), 64)));
    for (int i = 0; i < nSt; ++i)
        m.st.push_back({I16(b, ofsSt + 4 * i), I16(b, ofsSt + 4 * i + 2)});
    for (int i = 0; i < nTris; ++i) {
        std::array<int16_t, 6> t;
        for (int k = 0; k < 6; ++k)
            t[k] = I16(b, ofsTris + 12 * i + 2 * k);
        m.tris.push_back(t);
    }
    for (int f = 0; f < nFrames; ++f) {
        size_t at = ofsFrames + static_cast<size_t>(f) * m.frameSize;
        float s[3] = {F32(b, at), F32(b, at + 4), F32(b, at + 8)};
        float t[3] = {F32(b, at + 12), F32(b, at + 16), F32(b, at + 20)};
        m.frameNames.push_back(
            std::string(reinterpret_cast<const char*>(&b[at + 24]),
                        strnlen(reinterpret_cast<const char*>(&b[at + 24]), 16)));
        std::vector<Vec> v;
        for (int i = 0; i < m.numVertices; ++i) {
            size_t p = at + 40 + 4 * i;
            v.push_back({b[p] * s[0] + t[0], b[p + 1] * s[1] + t[1], b[p + 2] * s[2] + t[2]});
        }
        m.frames.push_back(v);
    }
    m.ok = true;
    return m;
}

std::vector<Anim> AnimationsFromNames(const std::vector<std::string>& names) {
    std::vector<Anim> anims;
    std::string last;
    int pendingFirst = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        std::string name = names[i];
        int number = 0;
        for (size_t j = 0; j < name.size(); ++j)
            if (std::isdigit(static_cast<unsigned char>(name[j])) && name.size() >= 2 &&
                j >= name.size() - 2) {
                number = std::atoi(name.c_str() + j);
                name = name.substr(0, j);
                break;
            }
        if (name != last || i + 1 == names.size()) {
            if (!last.empty())
                anims.push_back({last, pendingFirst, static_cast<int>(i)});
            pendingFirst = static_cast<int>(i) + number - 1;
        }
        last = name;
    }
    return anims;
}

Level ReadLevel(const std::string& path) {
    Level level;
    std::ifstream in(path);
    if (!(in >> level.enemies >> level.letters >> level.solid >> level.transparent))
        return level;
    int id;
    while (in >> id) {
        int n = 0;
        LevelEntry e;
        e.id = id;
        in >> e.path >> e.file >> e.tex >> n;
        for (int i = 0; i < n; ++i) {
            int loop;
            in >> loop;
            e.loops.push_back(loop);
        }
        in >> e.map;
        if (e.map == "NULL") {
            in >> e.sub;
            if (e.sub != "NULL")
                in >> e.subTex;
        }
        in >> e.x >> e.y >> e.z >> e.rot >> e.scale >> e.col;
        if (!in)
            return level;
        level.entries.push_back(e);
    }
    level.ok = in.eof();
    return level;
}

int CornerHeight(const std::vector<uint8_t>& raw, float x, float z) {
    int gx = static_cast<int>((x + 10240.0) / 10.0), gz = static_cast<int>((z + 10240.0) / 10.0);
    gx -= gx % 8, gz -= gz % 8;
    gx %= 2048, gz %= 2048;
    return static_cast<int>(raw[gx + gz * 2048] * 0.3) * 10;
}

} // namespace dgtest
