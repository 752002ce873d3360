// Level files: any text places what it can and reports the rest, never faulting, whatever ids,
// counts and words it holds. The entries' models load from a scratch directory that holds one
// small animated model ("Data/Models/a.md2"), so entries naming it go the whole way through the
// model loaders, and every other name is reported missing.
#include "fuzz/fuzz_quiet.h"
#include "models/md2_loader.h"
#include "terrain/height_map.h"
#include "world/level_file.h"
#include "objects/scene_objects.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    }
}

// Two key frames "a1", "a2" of three vertices, one triangle, one skin name that is not there.
std::vector<uint8_t> SmallModel() {
    const uint32_t frameSize = 40 + 3 * 4;
    const uint32_t offSkins = 68, offTex = offSkins + 64, offTri = offTex + 3 * 4;
    const uint32_t offFrames = offTri + 12, end = offFrames + 2 * frameSize;
    std::vector<uint8_t> out(end, 0);
    std::memcpy(out.data(), "IDP2", 4);
    const uint32_t header[16] = {8, 64, 64,       frameSize, 1,      3,         3,   1,
                                 0, 2,  offSkins, offTex,    offTri, offFrames, end, end};
    for (int k = 0; k < 16; ++k) {
        Put32(out, 4 + 4 * static_cast<size_t>(k), header[k]);
    }
    std::memcpy(&out[offSkins], "s.bmp", 5);
    const uint8_t tex[12] = {0, 0, 0, 0, 32, 0, 64, 0, 64, 0, 16, 0};
    std::memcpy(&out[offTex], tex, sizeof(tex));
    const uint8_t tri[12] = {0, 0, 1, 0, 2, 0, 0, 0, 1, 0, 2, 0};
    std::memcpy(&out[offTri], tri, sizeof(tri));
    for (uint32_t f = 0; f < 2; ++f) {
        const uint32_t at = offFrames + f * frameSize;
        const float one = 1.0f;
        for (int k = 0; k < 3; ++k) {
            std::memcpy(&out[at + 4 * static_cast<size_t>(k)], &one, 4);
        }
        out[at + 24] = 'a';
        out[at + 25] = static_cast<uint8_t>('1' + f);
        for (uint32_t v = 0; v < 3; ++v) {
            out[at + 40 + 4 * v] = static_cast<uint8_t>(10 * v + f);
            out[at + 41 + 4 * v] = static_cast<uint8_t>(20 * v);
            out[at + 42 + 4 * v] = static_cast<uint8_t>(30 * v);
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QuietDialogs();
    EnterScratchDir("ostravel_fuzz_level");
    std::filesystem::create_directories("Data/Models");
    const std::vector<uint8_t> model = SmallModel();
    std::ofstream("Data/Models/a.md2", std::ios::binary)
        .write(reinterpret_cast<const char*>(model.data()),
               static_cast<std::streamsize>(model.size()));
    // Uneven ground, so that placing an object asks the height query for real.
    for (int i = 0; i < kHeightMapBytes; ++i) {
        HeightMap[i] = static_cast<uint8_t>((i * 7 + i / kHeightMapSide * 13) % 77);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadLevelText(reinterpret_cast<const char*>(data), size, "Level01.olv");
    // The ranges never reach past the table, whatever the header said.
    if (TransparentEnd > static_cast<uint32_t>(kMaxSceneObjects) || EnemyEnd > SolidEnd ||
        SolidEnd > TransparentEnd) {
        __builtin_trap();
    }
    ClearSceneObjects();
    ForgetBoxes();
    return 0;
}
