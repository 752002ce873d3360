// Drawing the ground around the camera with its colour map and detail layer.
#pragma once

#include <cstdint>

constexpr int kTerrainDrawRadius = 320; // half the side of the drawn square, grid samples
constexpr int kDetailRepeat = 256;      // detail texture repeats across the map: one per cell

// The grid square drawn around a camera: cell corners X from xFrom to xTo inclusive, the same
// for Z, all multiples of the cell size. xTo < xFrom (far off the map) draws nothing.
struct tTerrainRange {
    int xFrom, xTo, zFrom, zTo;
};

// The drawn square for a camera at world (x, z).
tTerrainRange TerrainRange(float x, float z);
// Draws the ground within the square around world (x, z); a null map draws nothing.
void DrawTerrain(const uint8_t* map, float x, float z);
// Texture coordinate of grid point (gx, gz) for both texture units.
void SetTerrainTexCoord(int gx, int gz);
