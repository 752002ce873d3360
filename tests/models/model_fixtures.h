// Small hand-built models for the drawing tests: a square of side 2 in the model's x-y plane,
// wound clockwise as seen from +z (the way the game's models reach the GL), one copy per key frame,
// each frame shifted by `shift` along x from the one before.
#pragma once

#include "models/md2_loader.h"
#include "objects/model_records.h"
#include "objects/scene_objects.h"

#include <cstring>

inline void BuildQuadModel(tModel& model, int frameCount, float shift, int textureSlot) {
    model = tModel{};
    model.numFrames = frameCount;
    model.skin.textureSlot = textureSlot;
    const float corners[4][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};
    for (int f = 0; f < frameCount; ++f) {
        t3DObject frame;
        frame.vertexCount = 4;
        frame.faceCount = 2;
        frame.texCoordCount = 4;
        frame.vertices = new tVec3[4];
        for (int i = 0; i < 4; ++i) {
            frame.vertices[i] =
                tVec3(corners[i][0] + shift * static_cast<float>(f), corners[i][1], 0.0f);
        }
        if (f == 0) {
            frame.texCoords = new tTexCoord[4];
            for (int i = 0; i < 4; ++i) {
                frame.texCoords[i] = {(corners[i][0] + 1.0f) / 2.0f, (corners[i][1] + 1.0f) / 2.0f};
            }
            frame.faces = new tTriangle[2]{{{0, 2, 1}, {0, 2, 1}}, {{0, 3, 2}, {0, 3, 2}}};
        }
        model.frames.push_back(frame);
    }
}

inline void AddAnimation(tModel& model, int firstFrame, int endFrame, bool loops) {
    tAnimationInfo anim;
    std::strncpy(anim.name, "anim", sizeof(anim.name) - 1);
    anim.firstFrame = firstFrame;
    anim.endFrame = endFrame;
    anim.loops = loops;
    model.animations.push_back(anim);
    model.numAnimations = static_cast<int32_t>(model.animations.size());
}

inline void FreeModel(tModel& model) {
    for (t3DObject& frame : model.frames) {
        delete[] frame.vertices;
        delete[] frame.texCoords;
        delete[] frame.faces;
    }
    model = tModel{};
}

// Empties every slot, freeing both models' arrays.
inline void ClearTestObjects() {
    for (tSceneObject& object : SceneObjects) {
        FreeModel(object.model);
        FreeModel(object.subModel);
        object = tSceneObject{};
    }
    ClearSceneObjects();
}
