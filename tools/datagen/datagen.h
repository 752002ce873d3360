// The content generator: every file under Data/ is made here, from code, with
// fixed seeds, so that the same source always gives the same bytes.
#pragma once

#include "bmp_writer.h"
#include "bytes.h"
#include "md2_writer.h"
#include "png_writer.h"

#include <string>
#include <vector>

namespace dg {

// ---- Where files go and what failed -------------------------------------
struct Output {
    std::string dataDir;               // ".../Data"
    std::vector<std::string> failures; // one line per file that could not be made

    void Bmp(const std::string& rel, const Image& image);
    void Md2(const std::string& rel, const Md2Model& model);
    void Bytes(const std::string& rel, const std::vector<uint8_t>& bytes);
    void Wav(const std::string& rel, const std::vector<float>& samples, uint32_t rate);
    std::string Path(const std::string& rel) const { return dataDir + "/" + rel; }
};

// ---- Playing field and map layout shared by terrain and level -----------
constexpr float kFieldMinX = -2800.0f, kFieldMaxX = 600.0f; // allowed eye x
constexpr float kFieldMinZ = -400.0f, kFieldMaxZ = 1700.0f; // allowed eye z
constexpr int kMapSide = 2048;                              // height samples per side
constexpr float kSampleSpacing = 10.0f;                     // world units between samples
constexpr float kMapOffset = 10240.0f;                      // world + offset = map space
// The game's fog colour, which the sky fades into at the horizon.
constexpr float kFogR = 0.820312f, kFogG = 0.703125f, kFogB = 0.546875f;

// One kind of scenery model, as the level needs to place it.
struct SceneryKind {
    std::string file, skin, mask; // names inside Data/Models/Scenery; mask empty if solid
    float halfX = 0, halfY = 0;   // half extents of the model in file x and y (ground plane)
    bool masked = false;
};

// ---- Generators (one file each) ----------------------------------------
void GenerateSettings(Output& out); // Setup.ini
void GenerateTerrain(Output& out);  // Terrains/Terrain.raw, Terrain.bmp, Detail.bmp
void GenerateSky(Output& out);      // Skies/SkyBox01/*.bmp
void GenerateEffects(Output& out);  // Blood.bmp, cursor_mask.bmp, cursor.bmp
void GenerateFont(Output& out);     // Fonts/Font02.bmp
void GenerateSoldier(Output& out);  // Models/Soldier/* (with its weapon)
void GenerateLetters(Output& out);  // Models/Letters/{K,W,E,R,T}.md2 and skins
std::vector<SceneryKind> GenerateScenery(Output& out);                  // Models/Scenery/*
void GenerateLevel(Output& out, const std::vector<SceneryKind>& kinds); // Levels/Level01.olv
void GenerateSound(Output& out);                                        // Sounds/Shot.wav
// The icon, root/Icons/ostravel.png (64 x 64, the desktop's) and ostravel-192.png and
// ostravel-512.png (the browser's), and root/Icons/valley.png, the still the browser's page shows
// while it loads; outside Data/: the game never reads them.
bool GenerateIcon(const std::string& root);

// Everything, into root/Data, and the icon. Returns false (and prints each failure) when
// any file could not be made.
bool GenerateAll(const std::string& root);

// Height in world units of the generated ground at world (x, z), before it is
// stored as bytes; the level uses it to keep objects off steep ground.
float TerrainWorldHeight(float x, float z);

// The icon's picture: a round view of the valley with the crosshair, transparent around it,
// side x side pixels.
RgbaImage MakeIcon(int side = 64);

// The valley as the player sees it from the south of the field, towards the mountains: the
// generated ground in its colours under the sky, fading into the fog with distance.
RgbaImage MakeValleyStill(int width, int height);

// The soldier's frame names in file order (198 of them).
std::vector<std::string> SoldierFrameNames();

} // namespace dg
