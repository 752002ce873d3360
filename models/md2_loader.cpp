#include "models/md2_loader.h"

#include "platform/data_path.h"
#include "platform/platform.h"
#include "render/textures.h"
#include "objects/scene_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Room for a working directory or a resolved data path; longer ones are treated as missing.
constexpr size_t kPathBytes = 4096;

// The header's fields in file order, after the 4-byte magic (which is not checked).
struct tMd2Header {
    int32_t version;
    int32_t skinWidth, skinHeight; // divisors of the texture coordinates
    int32_t frameSize;             // bytes of one frame block
    int32_t numSkins, numVertices, numTexCoords, numTriangles, numGlCommands, numFrames;
    int32_t offsetSkins, offsetTexCoords, offsetTriangles, offsetFrames, offsetGlCommands;
    int32_t offsetEnd;
};

// All numbers are little-endian whatever the machine.
int32_t ReadInt(const uint8_t* p) {
    return static_cast<int32_t>(ReadLe32(p));
}
int16_t ReadShort(const uint8_t* p) {
    return static_cast<int16_t>(ReadLe16(p));
}
float ReadFloat(const uint8_t* p) {
    const uint32_t bits = ReadLe32(p);
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

// Whether count records of recordBytes each, starting at offset, end within the file. Offset and
// count are known to be non-negative here; the sum is taken in 64 bits so it cannot wrap.
bool SectionFits(size_t fileBytes, int32_t offset, int32_t count, uint64_t recordBytes) {
    const uint64_t end = static_cast<uint64_t>(offset) + static_cast<uint64_t>(count) * recordBytes;
    return end <= fileBytes;
}

// Copies text into a fixed field, cut to fit.
void CopyName(char* field, size_t fieldBytes, const char* text) {
    std::snprintf(field, fieldBytes, "%s", text);
}

// Builds the animation list from the frame names: a run of frames sharing a name is one
// animation. The first frame of a run is offset by the number the run's first name carries,
// less one, and every run ends at the index where the next begins; the file's last frame ends
// the last run, so that frame is never played.
//
// Files from other tools number their frames in ways that put that first frame outside the key
// frames: all frames named alike and numbered from 000 (the first run starts at -1), or names
// numbered from the file's start rather than the run's (a late run starts past the last frame).
// Such a run starts instead where its name first appears; every other run keeps its place, and
// the list keeps its order, which is how the game picks an animation.
void BuildAnimations(const std::vector<const char*>& frameNames, tModel* model) {
    const int frameCount = static_cast<int>(frameNames.size());
    char strLastName[kMd2FrameNameBytes] = {};
    int pendingFirst = 0;
    for (int i = 0; i < frameCount; ++i) {
        char strName[kMd2FrameNameBytes];
        const int number = SplitFrameName(frameNames[static_cast<size_t>(i)], strName);
        if (std::strcmp(strName, strLastName) != 0 || i == frameCount - 1) {
            if (strLastName[0] != '\0') {
                tAnimationInfo animation;
                CopyName(animation.name, sizeof(animation.name), strLastName);
                animation.firstFrame = pendingFirst;
                animation.endFrame = i;
                model->animations.push_back(animation);
                ++model->numAnimations;
            }
            pendingFirst = i + number - 1;
            if (pendingFirst < 0 || pendingFirst >= frameCount) {
                pendingFirst = i;
            }
        }
        std::memcpy(strLastName, strName, sizeof(strLastName));
    }
}

// The checks that need the parsed names and key frames; null when they pass. The drawing code
// indexes the animation list without checks, so an animated model must have an animation (every
// animation starts on a key frame the model holds: BuildAnimations sees to that).
const char* CheckAnimations(const tModel& model) {
    if (model.numFrames > 1 && model.numAnimations == 0) {
        return "Invalid file format (No animation names): %s!";
    }
    return nullptr;
}

// The header's promises against the file's real size, in the order a reader meets them. The GL
// command list and the end offset are never read, so they are not checked.
const char* CheckHeader(const tMd2Header& h, size_t size) {
    if (h.version != kMd2Version) {
        return "Invalid file format (Version not 8): %s!";
    }
    if (h.frameSize < 0 || h.numSkins < 0 || h.numVertices < 0 || h.numTexCoords < 0 ||
        h.numTriangles < 0 || h.numFrames < 0 || h.offsetSkins < 0 || h.offsetTexCoords < 0 ||
        h.offsetTriangles < 0 || h.offsetFrames < 0) {
        return "Invalid file format (Negative count or offset): %s!";
    }
    // A frame block is at most the format's largest (2048 vertices) and holds every vertex it
    // claims; the blocks are converted straight from the file's bytes.
    if (h.frameSize > kMd2FrameBufferBytes) {
        return "Invalid file format (Frame size over 8320 bytes): %s!";
    }
    if (static_cast<int64_t>(h.frameSize) <
        kMd2FrameHeadBytes + 4 * static_cast<int64_t>(h.numVertices)) {
        return "Invalid file format (Frame size too small for its vertices): %s!";
    }
    if (h.numFrames == 0) {
        return "Invalid file format (No key frames): %s!";
    }
    if (!SectionFits(size, h.offsetSkins, h.numSkins, kMd2SkinNameBytes) ||
        !SectionFits(size, h.offsetTexCoords, h.numTexCoords, 4) ||
        !SectionFits(size, h.offsetTriangles, h.numTriangles, 12) ||
        !SectionFits(size, h.offsetFrames, h.numFrames, static_cast<uint64_t>(h.frameSize))) {
        return "Invalid file format (File cut short): %s!";
    }
    // The skin size divides every texture coordinate.
    if (h.numTexCoords > 0 && (h.skinWidth <= 0 || h.skinHeight <= 0)) {
        return "Invalid file format (Skin size not positive): %s!";
    }
    return nullptr;
}

// Every index of every triangle within the vertex and texture coordinate counts: the drawing
// code reads vertices and texture coordinates through them unchecked. A file without texture
// coordinates is drawn untextured: its triangles' texture indices are kept but not checked, as
// the drawing never looks them up.
bool TrianglesInRange(const uint8_t* data, const tMd2Header& h) {
    for (int32_t t = 0; t < h.numTriangles; ++t) {
        const uint8_t* p = data + h.offsetTriangles + 12 * static_cast<size_t>(t);
        for (int k = 0; k < 3; ++k) {
            const int vertex = ReadShort(p + 2 * k);
            const int texCoord = ReadShort(p + 6 + 2 * k);
            if (vertex < 0 || vertex >= h.numVertices ||
                (h.numTexCoords > 0 && (texCoord < 0 || texCoord >= h.numTexCoords))) {
                return false;
            }
        }
    }
    return true;
}

// One frame block to model-space positions. The file is z-up; the game is y-up, so the file's
// z becomes y and its y becomes -z.
void ConvertFrame(const uint8_t* block, int32_t vertexCount, tVec3* out) {
    float scale[3], translate[3];
    for (int k = 0; k < 3; ++k) {
        scale[k] = ReadFloat(block + 4 * k);
        translate[k] = ReadFloat(block + 12 + 4 * k);
    }
    const uint8_t* v = block + kMd2FrameHeadBytes;
    for (int32_t i = 0; i < vertexCount; ++i, v += 4) {
        out[i].x = static_cast<float>(v[0]) * scale[0] + translate[0];
        out[i].y = static_cast<float>(v[2]) * scale[2] + translate[2];
        out[i].z = -(static_cast<float>(v[1]) * scale[1] + translate[1]);
    }
}

// Half the axis-aligned box of a key frame, model units: shooting and collision use it.
tVec3 HalfExtents(const t3DObject& frame) {
    if (frame.vertexCount == 0) {
        return {0.0f, 0.0f, 0.0f};
    }
    tVec3 low = frame.vertices[0], high = frame.vertices[0];
    for (int32_t i = 1; i < frame.vertexCount; ++i) {
        const tVec3& v = frame.vertices[i];
        low = {std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z)};
        high = {std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z)};
    }
    return {AbsF(high.x - low.x) / 2.0f, AbsF(high.y - low.y) / 2.0f, AbsF(high.z - low.z) / 2.0f};
}

// Triangles and texture coordinates, which only the first key frame holds.
void FillFirstFrame(const uint8_t* data, const tMd2Header& h, t3DObject* frame) {
    if (h.numTexCoords > 0) {
        frame->texCoords = new tTexCoord[static_cast<size_t>(h.numTexCoords)];
        for (int32_t i = 0; i < h.numTexCoords; ++i) {
            const uint8_t* p = data + h.offsetTexCoords + 4 * static_cast<size_t>(i);
            // t is flipped: the skins are stored bottom row first.
            frame->texCoords[i].u =
                static_cast<float>(ReadShort(p)) / static_cast<float>(h.skinWidth);
            frame->texCoords[i].v =
                1.0f - static_cast<float>(ReadShort(p + 2)) / static_cast<float>(h.skinHeight);
        }
    }
    if (h.numTriangles > 0) {
        frame->faces = new tTriangle[static_cast<size_t>(h.numTriangles)];
        for (int32_t i = 0; i < h.numTriangles; ++i) {
            const uint8_t* p = data + h.offsetTriangles + 12 * static_cast<size_t>(i);
            for (int k = 0; k < 3; ++k) {
                frame->faces[i].vertexIndex[k] = ReadShort(p + 2 * k);
                frame->faces[i].texCoordIndex[k] = ReadShort(p + 6 + 2 * k);
            }
        }
    }
}

// One data error box (caption "Error"); format holds one %s for the file name.
void Report(const char* format, const char* fileName) {
    char strMessage[255]; // a longer text is cut to fit
    std::snprintf(strMessage, sizeof(strMessage), format, fileName);
    ShowDataError(strMessage);
}

// ---- whole run: key frames shared by the models that load the same file ----
// A file's key frames are parsed once and every model loaded from the same bytes points at
// them; each model keeps its own lists (animations, loop flags, the frame it shows). users
// counts the models pointing at an entry; the last one to go frees the arrays.
struct tSharedFile {
    uint64_t hash = 0; // of the file's bytes
    size_t bytes = 0;
    int users = 0; // 0: the entry is free
    tMd2Contents contents;
};
// Every model of every object can hold its own file at the same time.
constexpr int kMaxSharedFiles = 2 * kMaxSceneObjects;
tSharedFile SharedFiles[kMaxSharedFiles];

uint64_t HashBytes(const std::vector<uint8_t>& bytes) {
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const uint8_t b : bytes) {
        hash = (hash ^ b) * 1099511628211ull;
    }
    return hash;
}

tSharedFile* FindSharedFile(uint64_t hash, size_t bytes) {
    for (tSharedFile& file : SharedFiles) {
        if (file.users > 0 && file.hash == hash && file.bytes == bytes) {
            return &file;
        }
    }
    return nullptr;
}

// The entry holding the arrays of model's key frames, or null for a model no entry holds (one
// read by ParseMd2 alone, or already released).
tSharedFile* SharedFileOf(const tModel& model) {
    if (model.frames.empty() || model.frames[0].vertices == nullptr) {
        return nullptr;
    }
    for (tSharedFile& file : SharedFiles) {
        if (file.users > 0 && !file.contents.model.frames.empty() &&
            file.contents.model.frames[0].vertices == model.frames[0].vertices) {
            return &file;
        }
    }
    return nullptr;
}

// Frees the arrays of every key frame of the model.
void DeleteKeyFrames(tModel* model) {
    for (t3DObject& frame : model->frames) {
        delete[] frame.faces;
        delete[] frame.vertices;
        delete[] frame.texCoords;
        frame.faces = nullptr;
        frame.vertices = nullptr;
        frame.texCoords = nullptr;
    }
}

// The highest key frame index the main model's animations can show, which a sub-model playing
// them frame for frame must hold.
int32_t HighestFramePlayed(const tModel& model) {
    int32_t highest = 0;
    for (const tAnimationInfo& animation : model.animations) {
        highest = std::max({highest, animation.firstFrame, animation.endFrame - 1});
    }
    return highest;
}

// The reading procedure the main model and the sub-model share; sub picks the sub-model's rules.
bool LoadMd2(int id, const char* modelDir, const char* fileName, const char* skinName, bool sub) {
    tSceneObject& object = SceneObjects[id];
    if (sub && object.model.numFrames == 1) {
        return false;
    }
    if (!sub) {
        object.position = {0.0f, 0.0f, 0.0f};
        object.rotY = 0.0f;
        object.scale = 1.0f;
        object.hasMaskMap = false;
    }
    if (fileName == nullptr) {
        return false;
    }
    // The model directory is the data directory while the model and its skin load, so the
    // names inside are relative to it; the old one comes back on every way out. The process's
    // working directory is never changed: it belongs to the player's own file names.
    char strAppDir[kDataDirBytes];
    std::snprintf(strAppDir, sizeof(strAppDir), "%s", DataDir());
    // The whole file first: one parser serves the loader and in-memory callers, and every read
    // is a bounds-checked look into the buffer.
    char path[kPathBytes];
    std::vector<uint8_t> bytes;
    const bool inDir = modelDir == nullptr || modelDir[0] == '\0' ||
                       (ResolveDataPath(modelDir, path, sizeof(path)) && SetDataDir(path));
    const tReadResult read = inDir && ResolveDataPath(fileName, path, sizeof(path))
                                 ? ReadWholeFile(path, kMd2MaxFileBytes, &bytes)
                                 : kReadCannotOpen;
    if (read == kReadCannotOpen) {
        SetDataDir(strAppDir);
        Report("Unable to find the file: %s!", fileName);
        return false;
    }

    // A file already held by another model is not parsed again: its key frames are shared.
    // Everything is checked before the models change, so a refused file leaves them as they
    // were (a main model's placement and mask flag were reset above, whatever the file).
    const uint64_t hash = read == kReadTooLarge ? 0 : HashBytes(bytes);
    tSharedFile* shared = read == kReadTooLarge ? nullptr : FindSharedFile(hash, bytes.size());
    tMd2Contents parsed;
    const char* refusal = nullptr;
    if (read == kReadTooLarge) {
        refusal = "Invalid file format (File too large): %s!";
    } else if (shared == nullptr) {
        refusal = ParseMd2(bytes.data(), bytes.size(), &parsed);
    }
    const tMd2Contents& contents = shared != nullptr ? shared->contents : parsed;
    // A skin is needed only where texture coordinates map one.
    if (refusal == nullptr && skinName == nullptr && contents.skinCount == 0 &&
        contents.model.frames[0].texCoordCount > 0) {
        refusal = "Invalid file format (No skin name): %s!";
    }
    if (refusal == nullptr && sub && object.model.numFrames > 0 &&
        contents.model.numFrames <= HighestFramePlayed(object.model)) {
        refusal = "Invalid file format (Fewer key frames than its main model plays): %s!";
    }
    if (refusal != nullptr) {
        DeleteKeyFrames(&parsed.model);
        SetDataDir(strAppDir);
        Report(refusal, fileName);
        return false;
    }
    if (shared == nullptr) {
        // A new file: the first free entry holds it. With none free (more files than models can
        // hold, which cannot happen) the model keeps its own arrays.
        for (tSharedFile& file : SharedFiles) {
            if (file.users == 0) {
                file.hash = hash;
                file.bytes = bytes.size();
                file.contents = parsed;
                shared = &file;
                break;
            }
        }
    }
    if (shared != nullptr) {
        ++shared->users;
    }

    // The main model empties the whole record (the carried model and the flags with it) but keeps
    // the half sizes of the file just read; a sub-model replaces only itself.
    if (sub) {
        ReleaseKeyFrames(&object.subModel);
        object.subModel = tModel{};
    } else {
        ClearSceneObject(id);
        object.health = kFullHitPoints;
        object.halfExtents = contents.halfExtents;
    }
    tModel& target = sub ? object.subModel : object.model;
    target = contents.model;
    target.currentAnim = 0;
    target.currentFrameIndex = 0;
    CopyName(target.skin.strFileName, sizeof(target.skin.strFileName),
             skinName != nullptr ? skinName : contents.firstSkin);
    // Object n owns texture slots 2n (its skin) and 2n + 1 (the carried model's skin). The skin
    // name is relative to the model directory, which is still the working directory here; the
    // slot is recorded even when nothing loads into it.
    target.skin.textureSlot = sub ? 2 * id + 1 : 2 * id;
    if (target.skin.strFileName[0] != '\0') {
        LoadTexture(TextureTable, target.skin.strFileName, target.skin.textureSlot);
    }
    if (sub) {
        object.hasSubModel = true;
    } else {
        object.hasSubModel = false;
        object.state = 0;
    }
    SetDataDir(strAppDir);
    return true;
}

} // namespace

// Only a digit in one of the last two characters starts the number, so "pain101" keeps its "1";
// names shorter than two characters carry no number.
int SplitFrameName(const char* frameName, char* name) {
    CopyName(name, kMd2FrameNameBytes, frameName);
    const int length = static_cast<int>(std::strlen(name));
    int number = 0;
    for (int j = 0; j < length; ++j) {
        if (length >= 2 && j >= length - 2 && name[j] >= '0' && name[j] <= '9') {
            for (int k = j; name[k] >= '0' && name[k] <= '9'; ++k) {
                number = number * 10 + (name[k] - '0');
            }
            name[j] = '\0';
            break;
        }
    }
    return number;
}

void ReleaseKeyFrames(tModel* model) {
    tSharedFile* shared = SharedFileOf(*model);
    if (shared == nullptr) {
        DeleteKeyFrames(model);
        return;
    }
    // One user fewer; the arrays go with the last.
    if (--shared->users == 0) {
        DeleteKeyFrames(&shared->contents.model);
        shared->contents = tMd2Contents{};
    }
    for (t3DObject& frame : model->frames) {
        frame.faces = nullptr;
        frame.vertices = nullptr;
        frame.texCoords = nullptr;
    }
}

const char* ParseMd2(const uint8_t* data, size_t size, tMd2Contents* contents) {
    if (size < static_cast<size_t>(kMd2HeaderBytes)) {
        return "Invalid file format (Header cut short): %s!";
    }
    // The 16 integers after the 4-byte magic, little-endian whatever the machine.
    int32_t fields[16];
    for (int k = 0; k < 16; ++k) {
        fields[k] = ReadInt(data + 4 + 4 * k);
    }
    tMd2Header h;
    static_assert(sizeof(h) == sizeof(fields));
    std::memcpy(&h, fields, sizeof(h));
    if (const char* refusal = CheckHeader(h, size)) {
        return refusal;
    }
    if (!TrianglesInRange(data, h)) {
        return "Invalid file format (Triangle index out of range): %s!";
    }
    // Only the first skin name is ever used; it must end within its 64 bytes.
    contents->skinCount = h.numSkins;
    if (h.numSkins > 0) {
        const char* skin = reinterpret_cast<const char*>(data + h.offsetSkins);
        if (std::memchr(skin, '\0', kMd2SkinNameBytes) == nullptr) {
            return "Invalid file format (Skin name not terminated): %s!";
        }
        CopyName(contents->firstSkin, sizeof(contents->firstSkin), skin);
    }
    // The names point into the file's bytes; they are only read before this function returns.
    std::vector<const char*> frameNames(static_cast<size_t>(h.numFrames));
    for (int32_t i = 0; i < h.numFrames; ++i) {
        const uint8_t* block =
            data + h.offsetFrames + static_cast<size_t>(i) * static_cast<size_t>(h.frameSize);
        const char* name = reinterpret_cast<const char*>(block + 24);
        if (std::memchr(name, '\0', kMd2FrameNameBytes) == nullptr) {
            return "Invalid file format (Frame name not terminated): %s!";
        }
        frameNames[static_cast<size_t>(i)] = name;
    }

    tModel& model = contents->model;
    model.numFrames = h.numFrames;
    BuildAnimations(frameNames, &model);
    if (const char* refusal = CheckAnimations(model)) {
        model = tModel{};
        return refusal;
    }
    // Every key frame gets its own positions; triangles and texture coordinates live in the
    // first one only and are shared by the others.
    model.frames.resize(static_cast<size_t>(h.numFrames));
    for (int32_t i = 0; i < h.numFrames; ++i) {
        t3DObject& frame = model.frames[static_cast<size_t>(i)];
        frame.vertexCount = h.numVertices;
        frame.faceCount = h.numTriangles;
        frame.texCoordCount = h.numTexCoords;
        frame.vertices = new tVec3[static_cast<size_t>(h.numVertices)];
        ConvertFrame(data + h.offsetFrames +
                         static_cast<size_t>(i) * static_cast<size_t>(h.frameSize),
                     h.numVertices, frame.vertices);
    }
    FillFirstFrame(data, h, &model.frames[0]);
    contents->halfExtents = HalfExtents(model.frames[0]);
    return nullptr;
}

bool LoadMd2Model(int id, const char* modelDir, const char* fileName, const char* skinName) {
    return LoadMd2(id, modelDir, fileName, skinName, false);
}

bool LoadMd2SubModel(int id, const char* modelDir, const char* fileName, const char* skinName) {
    return LoadMd2(id, modelDir, fileName, skinName, true);
}

// Only a static model is drawn in the two blended passes a mask needs; a slot whose model failed
// has no key frames and takes the mask anyway (it is never drawn).
bool LoadMaskMap(int id, const char* mapPath) {
    tSceneObject& object = SceneObjects[id];
    if (object.model.numFrames > 1 || mapPath == nullptr || mapPath[0] == '\0') {
        return false;
    }
    // Relative to the working directory as it is: the caller joins the model directory.
    CopyName(object.subModel.skin.strFileName, sizeof(object.subModel.skin.strFileName), mapPath);
    object.subModel.skin.textureSlot = 2 * id + 1;
    LoadTexture(TextureTable, mapPath, 2 * id + 1);
    object.hasMaskMap = true;
    return true;
}

// The carried model's arrays go too: nothing else would ever release them.
void FreeSceneObject(int id) {
    ReleaseKeyFrames(&SceneObjects[id].model);
    ReleaseKeyFrames(&SceneObjects[id].subModel);
}

void ClearSceneObject(int id) {
    FreeSceneObject(id);
    SceneObjects[id] = tSceneObject{};
}

void ClearSceneObjects() {
    for (int id = 0; id < kMaxSceneObjects; ++id) {
        ClearSceneObject(id);
    }
    ResetObjectRanges();
}
