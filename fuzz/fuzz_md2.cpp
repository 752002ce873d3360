// MD2 models: any bytes either parse into a model the drawing code can index without checks,
// or are refused with a message naming the file; the parsed arrays are released every run.
#include "models/md2_loader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// What the drawing code relies on: every key frame has the counts of the first, every triangle
// index lies within them (texture indices only where the model has texture coordinates: an
// untextured model is drawn without looking them up), and every animation starts on a key frame
// the model has.
bool Drawable(const tMd2Contents& c) {
    const tModel& m = c.model;
    if (m.numFrames <= 0 || static_cast<int>(m.frames.size()) != m.numFrames ||
        static_cast<int>(m.animations.size()) != m.numAnimations) {
        return false;
    }
    if (m.numFrames > 1 && m.numAnimations == 0) {
        return false;
    }
    const t3DObject& first = m.frames[0];
    for (const t3DObject& frame : m.frames) {
        if (frame.vertexCount != first.vertexCount || (frame.vertexCount > 0 && !frame.vertices)) {
            return false;
        }
    }
    for (int32_t t = 0; t < first.faceCount; ++t) {
        for (int k = 0; k < 3; ++k) {
            const int32_t v = first.faces[t].vertexIndex[k];
            const int32_t tc = first.faces[t].texCoordIndex[k];
            if (v < 0 || v >= first.vertexCount ||
                (first.texCoordCount > 0 && (tc < 0 || tc >= first.texCoordCount))) {
                return false;
            }
        }
    }
    for (const tAnimationInfo& a : m.animations) {
        if (a.firstFrame < 0 || a.firstFrame >= m.numFrames || a.endFrame > m.numFrames) {
            return false;
        }
    }
    return std::memchr(c.firstSkin, '\0', sizeof(c.firstSkin)) != nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tMd2Contents contents;
    const char* refusal = ParseMd2(data, size, &contents);
    if (refusal == nullptr) {
        if (!Drawable(contents)) {
            __builtin_trap();
        }
    } else {
        // The refusal is a format with one %s, as the loader's message box uses it.
        char message[255];
        std::snprintf(message, sizeof(message), refusal, "model.md2");
        if (std::strstr(message, "model.md2") == nullptr || !contents.model.frames.empty()) {
            __builtin_trap();
        }
    }
    ReleaseKeyFrames(&contents.model);
    return 0;
}
