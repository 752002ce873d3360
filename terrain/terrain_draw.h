// Drawing the ground around the camera with its colour map and detail layer.
#pragma once

#include <cstdint>

void DrawTerrain(const uint8_t* map, float x, float z);
// Texture coordinate of grid point (gx, gz) for both texture units.
void SetTerrainTexCoord(int gx, int gz);
