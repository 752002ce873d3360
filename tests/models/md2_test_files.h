// A small MD2 writer for tests, independent of the loader: a model of three vertices and one
// triangle whose frames, skins and header fields a test can change before writing.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

// A fresh directory under the test temp directory, the working directory while it lives: the
// loaders read Data/... relative to it.
class tScratchDir {
  public:
    explicit tScratchDir(const std::string& name)
        : previous_(std::filesystem::current_path()),
          root_(std::filesystem::path(testing::TempDir()) /
                (name + "_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        std::filesystem::current_path(root_);
    }
    ~tScratchDir() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(root_);
    }
    tScratchDir(const tScratchDir&) = delete;
    tScratchDir& operator=(const tScratchDir&) = delete;

  private:
    std::filesystem::path previous_, root_;
};

struct tTestMd2 {
    int32_t version = 8;
    int32_t skinWidth = 64;
    int32_t skinHeight = 64;
    std::vector<std::string> skins = {"skin.bmp"};
    std::vector<int16_t> texCoords = {0, 0, 32, 64, 64, 16}; // s, t pairs
    std::vector<int16_t> triangles = {0, 1, 2, 0, 1, 2};     // 3 vertex, 3 texcoord indices
    int32_t numVertices = 3;
    std::vector<std::string> frames = {"base"};
};

// Header offsets of the fields tests patch.
constexpr size_t kOffFrameSize = 16;
constexpr size_t kOffNumTriangles = 32;
constexpr size_t kOffNumFrames = 40;

inline void PutLe(std::vector<uint8_t>& out, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    }
}
inline void PutFloat(std::vector<uint8_t>& out, size_t at, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    PutLe(out, at, bits, 4);
}

// Vertex k of frame i has the bytes (k * 10 + i, k * 20, k * 30 + 4 * (k == 2)) with scale
// (1, 2, 0.5) and translate (1, 2, 3): for frame 0 the model-space vertices are (1, 3, -2),
// (11, 18, -42) and (21, 35, -82).
inline std::vector<uint8_t> WriteMd2(const tTestMd2& m) {
    const size_t frameSize = 40 + 4 * static_cast<size_t>(m.numVertices);
    const size_t offSkins = 68;
    const size_t offTex = offSkins + 64 * m.skins.size();
    const size_t offTri = offTex + 2 * m.texCoords.size();
    const size_t offFrames = offTri + 2 * m.triangles.size();
    const size_t end = offFrames + frameSize * m.frames.size();
    std::vector<uint8_t> out(end, 0);
    std::memcpy(out.data(), "IDP2", 4);
    const uint32_t header[16] = {static_cast<uint32_t>(m.version),
                                 static_cast<uint32_t>(m.skinWidth),
                                 static_cast<uint32_t>(m.skinHeight),
                                 static_cast<uint32_t>(frameSize),
                                 static_cast<uint32_t>(m.skins.size()),
                                 static_cast<uint32_t>(m.numVertices),
                                 static_cast<uint32_t>(m.texCoords.size() / 2),
                                 static_cast<uint32_t>(m.triangles.size() / 6),
                                 0,
                                 static_cast<uint32_t>(m.frames.size()),
                                 static_cast<uint32_t>(offSkins),
                                 static_cast<uint32_t>(offTex),
                                 static_cast<uint32_t>(offTri),
                                 static_cast<uint32_t>(offFrames),
                                 static_cast<uint32_t>(end),
                                 static_cast<uint32_t>(end)};
    for (int k = 0; k < 16; ++k) {
        PutLe(out, 4 + 4 * static_cast<size_t>(k), header[k], 4);
    }
    for (size_t i = 0; i < m.skins.size(); ++i) {
        std::memcpy(&out[offSkins + 64 * i], m.skins[i].data(),
                    std::min<size_t>(64, m.skins[i].size()));
    }
    for (size_t i = 0; i < m.texCoords.size(); ++i) {
        PutLe(out, offTex + 2 * i, static_cast<uint16_t>(m.texCoords[i]), 2);
    }
    for (size_t i = 0; i < m.triangles.size(); ++i) {
        PutLe(out, offTri + 2 * i, static_cast<uint16_t>(m.triangles[i]), 2);
    }
    for (size_t f = 0; f < m.frames.size(); ++f) {
        const size_t at = offFrames + f * frameSize;
        const float scale[3] = {1.0f, 2.0f, 0.5f}, translate[3] = {1.0f, 2.0f, 3.0f};
        for (int k = 0; k < 3; ++k) {
            PutFloat(out, at + 4 * static_cast<size_t>(k), scale[k]);
            PutFloat(out, at + 12 + 4 * static_cast<size_t>(k), translate[k]);
        }
        std::memcpy(&out[at + 24], m.frames[f].data(), std::min<size_t>(16, m.frames[f].size()));
        for (int32_t k = 0; k < m.numVertices; ++k) {
            uint8_t* v = &out[at + 40 + 4 * static_cast<size_t>(k)];
            v[0] = static_cast<uint8_t>(k * 10 + static_cast<int>(f));
            v[1] = static_cast<uint8_t>(k * 20);
            v[2] = static_cast<uint8_t>(k * 30 + (k == 2 ? 4 : 0));
        }
    }
    return out;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Frame names prefix01 ... prefixNN (two digits) or prefix1 ... prefixN.
inline void AddFrames(std::vector<std::string>& frames, const std::string& prefix, int count,
                      bool twoDigits) {
    for (int i = 1; i <= count; ++i) {
        frames.push_back(prefix + (twoDigits && i < 10 ? "0" : "") + std::to_string(i));
    }
}
