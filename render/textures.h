// The texture table: GL texture names by slot. Object n owns slots 2n (its skin) and 2n + 1
// (its sub-model's skin or its mask map); the fixed textures of the game follow.
#pragma once

#include <cstdint>

constexpr int kTexCursor = 2001;     // Data/cursor.bmp, crosshair
constexpr int kTexCursorMask = 2002; // Data/cursor_mask.bmp, crosshair mask
constexpr int kTexFont = 2003;       // Data/Fonts/Font02.bmp
constexpr int kTexClouds = 2004;     // Data/Skies/SkyBox01/Cloud.bmp
constexpr int kTexTerrain = 2005;    // Data/Terrains/Terrain.bmp
constexpr int kTexDetail = 2006;     // Data/Terrains/Detail.bmp
constexpr int kTexSkyBack = 2007;
constexpr int kTexSkyFront = 2008;
constexpr int kTexSkyBottom = 2009;
constexpr int kTexSkyTop = 2010;
constexpr int kTexSkyLeft = 2011;
constexpr int kTexSkyRight = 2012;
constexpr int kTexBlood = 2013; // Data/Blood.bmp
constexpr int kTextureSlots = 2014;

// ---- whole run: zero (no texture) until a slot is loaded ----
extern uint32_t TextureTable[kTextureSlots];

// Reads a BMP file into a mipmapped texture in table[slot]; true when the texture was made.
bool LoadTexture(uint32_t* table, const char* fileName, int slot);
// Between these two calls (the level's loading) a file loaded before is not read again: its
// texture name goes into the new slot too, with the same state left behind as a fresh load.
void BeginSharedTextures();
void EndSharedTextures();
