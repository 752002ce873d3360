#include "terrain/terrain_draw.h"

void DrawTerrain(const uint8_t*, float, float) {}
void SetTerrainTexCoord(int, int) {}
