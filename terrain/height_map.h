// The landscape's height field and the ground-height query.
#pragma once

#include <cstdint>

constexpr int kHeightMapSide = 2048;                             // samples per row and rows
constexpr int kHeightMapBytes = kHeightMapSide * kHeightMapSide; // the file's size
constexpr int kCellSize = 8; // samples per side of a terrain cell

// ---- whole run: loaded once at world loading, never freed ----
extern uint8_t HeightMap[kHeightMapBytes];

// Reads size bytes of a raw height file into buffer; reports a missing file once.
void LoadHeightMap(const char* path, int size, uint8_t* buffer);
// The stored sample at grid point (gx, gz); 0 for a null map.
int GridHeight(const uint8_t* map, int gx, int gz);
// Ground height in world units under world (x, z).
float TerrainHeight(const uint8_t* map, float x, float z);
