// The records of a loaded key-frame model. The MD2 loader fills them, the model drawing reads
// and advances them; every scene object embeds two.
#pragma once

#include "basics/vec3.h"

#include <cstdint>
#include <vector>

// Longest texture file name a skin record holds, without the terminating zero.
constexpr int kMaxTextureName = 254;

struct tTexCoord {
    float u, v;
};

// Indices into the frame's vertices and the first frame's texture coordinates, file order.
struct tTriangle {
    int32_t vertexIndex[3];
    int32_t texCoordIndex[3];
};

// One key frame. Only the first key frame owns texCoords and faces; the others share them.
struct t3DObject {
    int32_t vertexCount = 0;
    int32_t faceCount = 0;
    int32_t texCoordCount = 0;
    tVec3* vertices = nullptr; // vertexCount positions in model space
    tTexCoord* texCoords = nullptr;
    tTriangle* faces = nullptr;
};

// One animation: a run of consecutive key frames [firstFrame, endFrame).
struct tAnimationInfo {
    char name[16] = {}; // frame name without its trailing number
    int32_t firstFrame = 0;
    int32_t endFrame = 0;
    bool loops = false; // restart at firstFrame, or stop on the last frame
};

struct tTextureInfo {
    char strFileName[kMaxTextureName + 1] = {};
    int32_t textureSlot = 0; // slot in TextureTable, recorded even when nothing loaded
};

struct tModel {
    int32_t numFrames = 0;
    int32_t numAnimations = 0;
    int32_t currentAnim = 0;       // animation being played
    int32_t currentFrameIndex = 0; // key frame shown and interpolated from
    std::vector<tAnimationInfo> animations;
    tTextureInfo skin;
    std::vector<t3DObject> frames;
};
