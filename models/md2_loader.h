// Loading MD2 models (version 8) into scene object slots.
#pragma once

#include "basics/vec3.h"
#include "objects/model_records.h"
#include "objects/scene_objects.h"

#include <cstddef>
#include <cstdint>

constexpr int kMd2Version = 8;
constexpr int kMd2HeaderBytes = 68;
// The largest frame block: 2048 vertices of 4 bytes plus 128 bytes for scale, translate and name.
constexpr int kMd2FrameBufferBytes = 8320;
constexpr int kMd2SkinNameBytes = 64;
constexpr int kMd2FrameNameBytes = 16;
// Bytes of a frame block before its vertices: scale and translate (six floats), the name.
constexpr int kMd2FrameHeadBytes = 40;
// Larger files are refused before they are read (the biggest real model is well under 1 MiB).
constexpr size_t kMd2MaxFileBytes = 64u << 20;

// What an MD2 file gives the game, read from memory.
struct tMd2Contents {
    tModel model;                           // counts, animations, key frames (arrays owned)
    tVec3 halfExtents{0.0f, 0.0f, 0.0f};    // of the first key frame, model units
    int32_t skinCount = 0;                  // skin names in the file
    char firstSkin[kMd2SkinNameBytes] = {}; // the first of them, empty when there is none
};

// Main model of object id from modelDir/fileName; skinName null: the file's first skin. A file
// whose bytes another model already holds is not parsed again: the two share its key frames.
bool LoadMd2Model(int id, const char* modelDir, const char* fileName, const char* skinName);
// The carried model of object id; an empty skin name loads no skin.
bool LoadMd2SubModel(int id, const char* modelDir, const char* fileName, const char* skinName);
// Mask texture of a single-frame model, path relative to the working directory.
bool LoadMaskMap(int id, const char* mapPath);

// Reads an MD2 file held in memory into contents (which must be empty). Returns null when the
// file is good; otherwise the refusal, a message with one %s for the file name, and contents
// then holds nothing to release.
const char* ParseMd2(const uint8_t* data, size_t size, tMd2Contents* contents);
// Splits a frame name into its animation name (written to name, 16 bytes) and the frame number
// it carries: only digits starting in one of the last two characters count ("pain101" gives
// "pain1" and 1, "base" gives "base" and 0).
int SplitFrameName(const char* frameName, char* name);
// Releases the model's hold on its key frames: models loaded from the same file share one set of
// arrays, freed with the last of them; a model read by ParseMd2 alone frees its own. The
// pointers are cleared, the lists themselves stay.
void ReleaseKeyFrames(tModel* model);

// ---- scene object slots: the models they hold ----

// Releases the key frames' arrays of both models (at shutdown); the lists stay.
void FreeSceneObject(int id);
// Releases the slot's arrays and puts every field back to zero (a model loading into it).
void ClearSceneObject(int id);
// Empties every slot and the id ranges (world loading and tests).
void ClearSceneObjects();
