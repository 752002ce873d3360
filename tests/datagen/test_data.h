// Readers for the generated files, written for these tests, and the one shared
// run of the generator that the tests look at.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace dgtest {

// Data/ generated once per test run, in a fresh temporary folder.
const std::string& DataDir();
// Generates into a new folder and returns its root (for the determinism test).
std::string GenerateInto(const std::string& name);

std::vector<uint8_t> ReadBytes(const std::string& path);

inline int32_t I32(const std::vector<uint8_t>& b, size_t at) {
    int32_t v;
    std::memcpy(&v, &b[at], 4);
    return v;
}
inline int16_t I16(const std::vector<uint8_t>& b, size_t at) {
    int16_t v;
    std::memcpy(&v, &b[at], 2);
    return v;
}
inline float F32(const std::vector<uint8_t>& b, size_t at) {
    float v;
    std::memcpy(&v, &b[at], 4);
    return v;
}

// A 24-bit uncompressed BMP as the game reads it: rows bottom first.
struct Bmp {
    bool ok = false;
    std::string why;
    int width = 0, height = 0;
    std::vector<uint8_t> rgb; // rows bottom first, no padding, R G B
    // Pixel by texture row (0 = first row in the file = bottom of the picture).
    const uint8_t* Texel(int x, int row) const {
        return &rgb[(static_cast<size_t>(row) * width + x) * 3];
    }
    // Pixel by picture row (0 = top).
    const uint8_t* At(int x, int y) const { return Texel(x, height - 1 - y); }
};
Bmp ReadBmp(const std::string& path);

struct Vec {
    float x, y, z;
};

struct Md2 {
    bool ok = false;
    std::string why;
    int version = 0, skinWidth = 0, skinHeight = 0, frameSize = 0, numVertices = 0;
    std::vector<std::string> skins;
    std::vector<std::array<int16_t, 2>> st;
    std::vector<std::array<int16_t, 6>> tris; // three vertex then three st indices
    std::vector<std::string> frameNames;
    std::vector<std::vector<Vec>> frames; // decoded, in the file's axes (z up)
};
Md2 ReadMd2(const std::string& path);

// The game's animation list from frame names (name cut before the trailing
// number in the last two characters; a new animation where the name changes
// or at the last frame).
struct Anim {
    std::string name;
    int first, end;
};
std::vector<Anim> AnimationsFromNames(const std::vector<std::string>& names);

// One entry of the level file.
struct LevelEntry {
    int id = 0;
    std::string path, file, tex, map, sub, subTex;
    std::vector<int> loops;
    float x = 0, y = 0, z = 0, rot = 0, scale = 0;
    int col = 0;
};
struct Level {
    bool ok = false;
    int enemies = 0, letters = 0, solid = 0, transparent = 0;
    std::vector<LevelEntry> entries;
};
Level ReadLevel(const std::string& path);

// The game's ground height at world (x, z) from the raw height map: corner
// sample of the 80-unit cell, stored as trunc(byte * 0.3) * 10.
int CornerHeight(const std::vector<uint8_t>& raw, float x, float z);

} // namespace dgtest
