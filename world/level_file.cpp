#include "world/level_file.h"

#include "models/md2_loader.h"
#include "platform/data_path.h"
#include "platform/platform.h"
#include "terrain/height_map.h"
#include "objects/scene_objects.h"

#include <bitset>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <istream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// One object entry as the file gives it. Words keep "NULL" as written; the entry is applied
// only once every one of its tokens has been read.
struct tLevelEntry {
    uint32_t m_Id = 0;
    std::string m_Path, m_FileName, m_TexName;
    std::vector<uint32_t> m_Loops;
    std::string m_MapName, m_SubName, m_SubTex;
    float m_PosX = 0.0f, m_PosY = 0.0f, m_PosZ = 0.0f;
    float m_RotY = 0.0f, m_Scale = 0.0f;
    uint32_t m_Col = 0;
};

template <typename... Args> void Report(const char* format, Args... args) {
    char strMessage[255];
    // A longer text is cut to fit, on purpose.
    if (std::snprintf(strMessage, sizeof(strMessage), format, args...) >= 0) {
        ShowDataError(strMessage);
    }
}

// "NULL" in capitals is the file's word for "none".
bool IsNull(const std::string& word) {
    return word == "NULL";
}

// The tokens after the id. Which optional fields follow depends on the words read: a mask map
// has no sub-model fields, and a "NULL" sub-model has no sub-model skin.
bool ReadEntryTokens(std::istream& flevel, tLevelEntry* e) {
    uint32_t numLoops = 0;
    if (!(flevel >> e->m_Path >> e->m_FileName >> e->m_TexName >> numLoops)) {
        return false;
    }
    for (uint32_t i = 0; i < numLoops; ++i) {
        uint32_t loop = 0;
        if (!(flevel >> loop)) {
            return false;
        }
        e->m_Loops.push_back(loop);
    }
    if (!(flevel >> e->m_MapName)) {
        return false;
    }
    if (IsNull(e->m_MapName)) {
        if (!(flevel >> e->m_SubName)) {
            return false;
        }
        if (!IsNull(e->m_SubName) && !(flevel >> e->m_SubTex)) {
            return false;
        }
    }
    return static_cast<bool>(flevel >> e->m_PosX >> e->m_PosY >> e->m_PosZ >> e->m_RotY >>
                             e->m_Scale >> e->m_Col);
}

// Loads and places one complete entry. Paths keep the file's backslashes; the loaders map them.
// The loaders report their own failures, and the entry's placement is applied regardless.
void ApplyEntry(const tLevelEntry& e) {
    const int id = static_cast<int>(e.m_Id);
    const std::string modelDir = "Data\\Models\\" + (IsNull(e.m_Path) ? std::string() : e.m_Path);
    LoadMd2Model(id, modelDir.c_str(), e.m_FileName.c_str(),
                 IsNull(e.m_TexName) ? nullptr : e.m_TexName.c_str());
    for (const uint32_t loop : e.m_Loops) {
        // An index past INT32_MAX turns negative, which the accessor ignores like any other
        // index the model does not have.
        SetAnimationLoops(id, static_cast<int>(loop), true);
    }
    if (!IsNull(e.m_MapName)) {
        LoadMaskMap(id, (modelDir + "\\" + e.m_MapName).c_str());
    } else if (!IsNull(e.m_SubName)) {
        LoadMd2SubModel(id, modelDir.c_str(), e.m_SubName.c_str(),
                        IsNull(e.m_SubTex) ? "" : e.m_SubTex.c_str());
    }
    // The file's height is above the ground under (x, z), not absolute.
    SetPosition(id, {e.m_PosX, TerrainHeight(HeightMap, e.m_PosX, e.m_PosZ) + e.m_PosY, e.m_PosZ});
    SetRotY(id, e.m_RotY);
    SetScale(id, e.m_Scale);
    SetCollidable(id, e.m_Col != 0);
}

// A level that is missing or refused leaves no range: the world is empty.
void ReadLevelStream(std::istream& flevel, const char* name) {
    ResetObjectRanges();
    uint32_t counts[4] = {};
    for (uint32_t& count : counts) {
        if (!(flevel >> count)) {
            Report("The level file %s has no header of four object counts!", name);
            return;
        }
    }
    // Summed wide, so that huge counts cannot wrap around to a small total.
    const uint64_t total = static_cast<uint64_t>(counts[0]) + counts[2] + counts[3];
    if (total > static_cast<uint64_t>(kMaxSceneObjects)) {
        Report("The level file %s counts %llu objects; the game has room for %d!", name,
               static_cast<unsigned long long>(total), kMaxSceneObjects);
        return;
    }
    EnemyCount = counts[0];
    LetterCount = counts[1];
    SolidCount = counts[2];
    TransparentCount = counts[3];
    EnemyEnd = FirstId + EnemyCount;
    SolidEnd = EnemyEnd + SolidCount;
    TransparentEnd = SolidEnd + TransparentCount;

    // The list ends quietly where no id can be read; a rejected entry is read to its end first,
    // so the next entry starts at the right token.
    std::bitset<kMaxSceneObjects> named;
    tLevelEntry entry;
    while (flevel >> entry.m_Id) {
        const uint32_t id = entry.m_Id;
        entry = tLevelEntry{};
        entry.m_Id = id;
        if (!ReadEntryTokens(flevel, &entry)) {
            Report("The entry of object %u in the level file %s is cut short; it is skipped!", id,
                   name);
            break;
        }
        if (id >= static_cast<uint32_t>(kMaxSceneObjects)) {
            Report("Object %u of the level file %s is skipped: ids go up to %d!", id, name,
                   kMaxSceneObjects - 1);
        } else if (id >= TransparentEnd) {
            Report("Object %u of the level file %s is skipped: the header counts %u objects!", id,
                   name, TransparentEnd);
        } else if (named[id]) {
            Report("Object %u of the level file %s is skipped: the id is used twice!", id, name);
        } else {
            named[id] = true;
            ApplyEntry(entry);
        }
    }
    // Depth writes by range: letters and solid scenery write depth, transparent scenery does not.
    // The header check keeps both loops inside the table.
    for (uint32_t id = FirstId; id < SolidEnd; ++id) {
        SetWritesDepth(static_cast<int>(id), true);
    }
    for (uint32_t id = SolidEnd; id < TransparentEnd; ++id) {
        SetWritesDepth(static_cast<int>(id), false);
    }
}

} // namespace

void ReadLevel(const char* path) {
    char resolved[4096];
    ResolveDataPath(path, resolved, sizeof(resolved));
    std::ifstream flevel(resolved);
    if (!flevel) {
        // The game still starts, with nothing in the world; the player is told why.
        ResetObjectRanges();
        Report("Unable to find the level file: %s!", resolved);
        return;
    }
    ReadLevelStream(flevel, resolved);
}

void ReadLevelText(const char* text, size_t length, const char* name) {
    std::istringstream flevel(std::string(text, length));
    ReadLevelStream(flevel, name);
}
