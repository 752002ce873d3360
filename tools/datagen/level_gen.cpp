// The level: ten soldiers in small groups along the way, the five letters
// spread over the playing field in the order of the word, scenery around them.
//
// File layout (tokens separated by white space): the four counts (enemies,
// letters, letters plus solid scenery, transparent scenery), then one entry
// per object: id, model folder, model, skin, loop count and loops, mask (or
// NULL, then sub-model or NULL, then its skin), x, height above ground, z,
// heading, scale, collidable.
#include "datagen.h"
#include "noise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace dg {

namespace {

struct Spot {
    float x, z, radius;
};

// The game's collision radius of a model: half extents times scale, each
// truncated, then the length of the pair.
float GroundRadius(const SceneryKind& k, float scale) {
    int ix = static_cast<int>(k.halfX * scale), iz = static_cast<int>(k.halfY * scale);
    return static_cast<float>(std::sqrt(static_cast<double>(ix * ix + iz * iz)));
}

float Slope(float x, float z) {
    float dx = TerrainWorldHeight(x + 40, z) - TerrainWorldHeight(x - 40, z);
    float dz = TerrainWorldHeight(x, z + 40) - TerrainWorldHeight(x, z - 40);
    return std::sqrt(dx * dx + dz * dz) / 80.0f;
}

bool Clear(const std::vector<Spot>& spots, float x, float z, float radius, float gap) {
    for (const Spot& s : spots)
        if (std::hypot(s.x - x, s.z - z) < s.radius + radius + gap)
            return false;
    return true;
}

std::string Num(float v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.1f", v);
    return b;
}

} // namespace

void GenerateLevel(Output& out, const std::vector<SceneryKind>& kinds) {
    // In the order of the word; the first is a short walk from the start.
    const Spot letters[5] = {
        {-350, 900, 0}, {-1400, 1450, 0}, {-2450, 1000, 0}, {-2200, -150, 0}, {-1000, 300, 0}};
    // Enemies wake within 640 units: these groups of one to three lie along
    // the route from letter to letter, all well away from the start.
    const Spot enemies[10] = {{-150, 1250, 14},  {-700, 1150, 14},  {-1150, 1620, 14},
                              {-1700, 1550, 14}, {-1500, 1100, 14}, {-2580, 1450, 14},
                              {-2250, 650, 14},  {-2520, -280, 14}, {-1850, 80, 14},
                              {-850, -60, 14}};
    std::vector<Spot> taken;
    taken.push_back({0, 0, 280}); // the start: an open view ahead
    for (const Spot& l : letters)
        taken.push_back({l.x, l.z, 100});
    for (const Spot& e : enemies)
        taken.push_back({e.x, e.z, e.radius + 30});

    int id = 0;
    std::string entries;
    for (const Spot& e : enemies) {
        // Face the way the player is likely to come from (the start side).
        float heading = std::atan2(e.z, -e.x) * 57.29577951f;
        entries += std::to_string(id++) +
                   " Soldier Soldier.md2 Soldier.bmp 2 0 1 NULL Weapon.md2 "
                   "Weapon.bmp " +
                   Num(e.x) + " 25.0 " + Num(e.z) + " " + Num(heading) + " 1.0 1\n";
    }
    const char* word = "KWERT";
    for (int i = 0; i < 5; ++i) {
        // Letters float at the height of the player's eye and do not block.
        std::string name(1, word[i]);
        entries += std::to_string(id++) + " Letters " + name + ".md2 " + name +
                   ".bmp 0 NULL NULL " + Num(letters[i].x) + " 45.0 " + Num(letters[i].z) +
                   " 0.0 1.0 0\n";
    }

    Rng rng(7);
    std::vector<const SceneryKind*> solid, masked;
    for (const SceneryKind& k : kinds)
        (k.masked ? masked : solid).push_back(&k);
    const int solidCount = 36, transparentCount = 100;
    std::vector<Spot> obstacles;
    int placed = 0;
    for (int attempt = 0; placed < solidCount && attempt < 20000; ++attempt) {
        const SceneryKind& k = *solid[placed % solid.size()];
        float scale = k.file == "Rock.md2" ? rng.Range(0.7f, 1.5f) : rng.Range(0.9f, 1.2f);
        float x = rng.Range(kFieldMinX - 400, kFieldMaxX + 400);
        float z = rng.Range(kFieldMinZ - 400, kFieldMaxZ + 400);
        float r = GroundRadius(k, scale);
        // Leave room to walk between obstacles, around letters and the start.
        if (!Clear(taken, x, z, r, 20) || !Clear(obstacles, x, z, r, 90) || Slope(x, z) > 0.45f)
            continue;
        obstacles.push_back({x, z, r});
        float sink = k.file == "Rock.md2" ? -3.0f : (k.file == "Wall.md2" ? -1.0f : 0.0f);
        entries += std::to_string(id++) + " Scenery " + k.file + " " + k.skin + " 0 NULL NULL " +
                   Num(x) + " " + Num(sink) + " " + Num(z) + " " + Num(rng.Range(0, 360)) + " " +
                   Num(scale) + " 1\n";
        ++placed;
    }
    if (placed < solidCount)
        out.failures.push_back("Levels/Level01.olv: could not place the solid scenery");

    // Trees and bushes: everywhere on and around the field, thicker toward
    // its edges; they do not block (their crossed quads would make huge
    // collision circles).
    std::vector<Spot> plants;
    int planted = 0;
    for (int attempt = 0; planted < transparentCount && attempt < 20000; ++attempt) {
        const SceneryKind& k = *masked[planted % masked.size()];
        float x = rng.Range(kFieldMinX - 900, kFieldMaxX + 900);
        float z = rng.Range(kFieldMinZ - 900, kFieldMaxZ + 900);
        bool inField = x > kFieldMinX + 200 && x < kFieldMaxX - 200 && z > kFieldMinZ + 200 &&
                       z < kFieldMaxZ - 200;
        if (inField && rng.Unit() < 0.3f)
            continue;
        if (!Clear(taken, x, z, 0, -30) || !Clear(obstacles, x, z, 10, 0) ||
            !Clear(plants, x, z, 20, 0) || Slope(x, z) > 0.8f)
            continue;
        plants.push_back({x, z, 20});
        float scale = k.file == "Bush.md2" ? rng.Range(0.8f, 1.4f) : rng.Range(0.9f, 1.6f);
        entries += std::to_string(id++) + " Scenery " + k.file + " " + k.skin + " 0 " + k.mask +
                   " " + Num(x) + " 0.0 " + Num(z) + " " + Num(rng.Range(0, 360)) + " " +
                   Num(scale) + " 0\n";
        ++planted;
    }
    if (planted < transparentCount)
        out.failures.push_back("Levels/Level01.olv: could not place the plants");

    const std::string text = std::to_string(std::size(enemies)) + " " +
                             std::to_string(std::size(letters)) + " " +
                             std::to_string(std::size(letters) + placed) + " " +
                             std::to_string(planted) + "\n" + entries;
    out.Bytes("Levels/Level01.olv", std::vector<uint8_t>(text.begin(), text.end()));
}

} // namespace dg
