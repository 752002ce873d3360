// The landscape's height field and the ground-height query.
//
// Grid and world: sample (gx, gz) is byte gx + gz * 2048 (rows run along world z), and world
// (x, z) lies on grid ((x + 10240) / 10, (z + 10240) / 10), so world (0, 0) is the middle of the
// map. A stored sample is 0 ... 76; times 10 it is the ground height in world units.
//
// Cells: the height query (and the terrain drawing, which must agree with it) works on cells of
// 8 x 8 samples. Cell corners are named pXZ, the first digit counting along x, the second along
// z: p11 = (gx, gz), p12 = (gx, gz + 8), p21 = (gx + 8, gz), p22 = (gx + 8, gz + 8). Every cell is
// split along the diagonal from p12 to p21 into the triangles {p11, p12, p21} and
// {p12, p21, p22}.
//
// Off the map: grid coordinates wrap around the map in both directions (2048 reads as 0, -1 as
// 2047), so no position, however far off, reads outside the array.
#pragma once

#include <cstdint>

constexpr int kHeightMapSide = 2048;                             // samples per row and rows
constexpr int kHeightMapBytes = kHeightMapSide * kHeightMapSide; // the file's size
constexpr int kCellSize = 8; // samples per side of a terrain cell

constexpr int kSampleSpacing = 10;        // world units between neighbouring samples
constexpr int kMapOffset = 10240;         // added to world x and z to reach map space
constexpr double kHeightLoadFactor = 0.3; // applied to every file byte once at load
constexpr int kHeightScale = 10;          // world units of height per stored unit
constexpr float kRayTop = 2560.0f;        // top of the vertical probe of the height query

// ---- whole run: loaded once at world loading, never freed ----
extern uint8_t HeightMap[kHeightMapBytes];

// Grid coordinate of a world coordinate: trunc((c + 10240) / 10) in double precision. Values far
// off the map are held to +-1e8 grid units first, so that the conversion to int stays defined
// (wrapping makes the exact value there irrelevant); NaN lands on grid 0.
int GridCoordinate(float c);
// The corner of the cell under a world coordinate: its grid coordinate snapped toward zero to a
// multiple of kCellSize, as the remainder does for negative values too.
int CellCorner(float c);

// Reads size bytes of a raw height file into buffer; reports a missing file once.
void LoadHeightMap(const char* path, int size, uint8_t* buffer);
// The stored sample at grid point (gx, gz); 0 for a null map.
int GridHeight(const uint8_t* map, int gx, int gz);
// Ground height in world units under world (x, z).
float TerrainHeight(const uint8_t* map, float x, float z);
