// MD2 (version 8) model description and writer.
//
// Vertices are given in the file's own axes (z up). Texture coordinates are in
// texels from the skin's top-left corner. The game culls front faces, so every
// triangle is stored clockwise as seen from outside the model.
#pragma once

#include "dg_math.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace dg {

constexpr int kMd2MaxVertices = 2048;
constexpr int kMd2MaxFrameBytes = 8320; // the game's frame buffer
constexpr int kMd2FrameHeaderBytes = 40;

struct Md2Triangle {
    std::array<int16_t, 3> vertex;
    std::array<int16_t, 3> texCoord;
};

struct Md2Frame {
    std::string name; // at most 15 characters
    std::vector<Vec3> vertices;
};

struct Md2Model {
    int skinWidth = 0, skinHeight = 0;
    std::vector<std::string> skins;
    std::vector<std::array<int16_t, 2>> texCoords;
    std::vector<Md2Triangle> triangles;
    std::vector<Md2Frame> frames;
};

// Checks the game's limits and writes the file. On failure returns false and
// puts the reason into *error.
bool WriteMd2(const std::string& path, const Md2Model& model, std::string* error);

} // namespace dg
