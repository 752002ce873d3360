#include "models/model_draw.h"

#include "platform/gl_api.h"
#include "platform/platform.h"
#include "render/textures.h"
#include "render/view_cull.h"

#include <algorithm>

uint32_t LastAdvanceTime[kMaxSceneObjects];

namespace {

// The key frames actually held: the list, not the file's count, bounds every index below.
int32_t KeyFrameCount(const tModel& model) {
    return static_cast<int32_t>(model.frames.size());
}

// An animation the rule can play on a model with frameCount key frames: a non-empty run inside
// the model. Anything else (a name-less model's missing list, a first frame of -1, a sub-model
// shorter than the main model's animations) would read past the key frames.
bool Playable(const tAnimationInfo& anim, int32_t frameCount) {
    return anim.firstFrame >= 0 && anim.firstFrame < anim.endFrame && anim.endFrame <= frameCount;
}

bool ValidFrame(const tModel& model, int32_t frame) {
    return frame >= 0 && frame < KeyFrameCount(model);
}

// The animation a model plays from the main model's list, or null when there is none to play.
const tAnimationInfo* AnimationOf(const tModel& main, const tModel& model) {
    if (model.currentAnim < 0 || static_cast<size_t>(model.currentAnim) >= main.animations.size()) {
        return nullptr;
    }
    const tAnimationInfo& anim = main.animations[static_cast<size_t>(model.currentAnim)];
    return Playable(anim, KeyFrameCount(model)) ? &anim : nullptr;
}

// Texture name 0 (untextured) for a slot that never loaded or lies outside the table.
void BindSlot(int32_t slot) {
    const GLuint name = slot >= 0 && slot < kTextureSlots ? TextureTable[slot] : 0;
    glBindTexture(GL_TEXTURE_2D, name);
}

// A triangle whose indices all lie inside the arrays it names: the vertices below vertexLimit
// and, for a textured model, the first key frame's texture coordinates.
bool FaceInside(const t3DObject& first, const tTriangle& face, int32_t vertexLimit) {
    const bool textured = first.texCoords != nullptr;
    bool inside = true;
    for (int c = 0; c < 3; ++c) {
        inside = inside && face.vertexIndex[c] >= 0 && face.vertexIndex[c] < vertexLimit;
        inside = inside && (!textured || (face.texCoordIndex[c] >= 0 &&
                                          face.texCoordIndex[c] < first.texCoordCount));
    }
    return inside;
}

// True when every vertex blended between key frames a and b lies outside the view (the matrix
// LoadViewClip read): a blend stays inside the box of both frames' vertices, widened a little
// for its rounding.
bool BlendOutsideView(const t3DObject& a, const t3DObject& b, int32_t vertexLimit) {
    if (vertexLimit <= 0) {
        return false;
    }
    tVec3 low = a.vertices[0], high = a.vertices[0];
    for (const t3DObject* frame : {&a, &b}) {
        for (int32_t i = 0; i < vertexLimit; ++i) {
            const tVec3& v = frame->vertices[i];
            low = {std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z)};
            high = {std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z)};
        }
    }
    const float size = std::max(
        {AbsF(low.x), AbsF(low.y), AbsF(low.z), AbsF(high.x), AbsF(high.y), AbsF(high.z), 1.0f});
    const tVec3 widen(size * 1.0e-4f, size * 1.0e-4f, size * 1.0e-4f);
    return BoxOutsideView(low - widen, high + widen);
}

// The triangles of the first key frame, every vertex blended from key frame `from` toward `to`.
// A triangle with an index outside the arrays it names is left out.
void DrawKeyFrames(const tModel& model, int32_t from, int32_t to, float t) {
    const t3DObject& first = model.frames[0];
    const t3DObject& a = model.frames[static_cast<size_t>(from)];
    const t3DObject& b = model.frames[static_cast<size_t>(to)];
    if (first.faces == nullptr || a.vertices == nullptr || b.vertices == nullptr) {
        return;
    }
    const int32_t vertexLimit = std::min(a.vertexCount, b.vertexCount);
    const bool textured = first.texCoords != nullptr;
    if (BlendOutsideView(a, b, vertexLimit)) {
        // Nothing to send, but the texture coordinate the last triangle would have left current
        // stays so: whatever is drawn next without its own inherits it.
        for (int32_t f = first.faceCount - 1; f >= 0 && textured; --f) {
            if (FaceInside(first, first.faces[f], vertexLimit)) {
                const tTexCoord& uv = first.texCoords[first.faces[f].texCoordIndex[2]];
                glTexCoord2f(uv.u, uv.v);
                break;
            }
        }
        return;
    }
    glBegin(ModelPrimitive);
    for (int32_t f = 0; f < first.faceCount; ++f) {
        const tTriangle& face = first.faces[f];
        if (!FaceInside(first, face, vertexLimit)) {
            continue;
        }
        for (int c = 0; c < 3; ++c) {
            if (textured) {
                const tTexCoord& uv = first.texCoords[face.texCoordIndex[c]];
                glTexCoord2f(uv.u, uv.v);
            }
            const tVec3 p = a.vertices[face.vertexIndex[c]];
            const tVec3 q = b.vertices[face.vertexIndex[c]];
            glVertex3f((q.x - p.x) * t + p.x, (q.y - p.y) * t + p.y, (q.z - p.z) * t + p.z);
        }
    }
    glEnd();
}

// The models reach the GL wound clockwise, so the front faces are the ones culled.
void DrawAnimated(int id, const tAnimationStep& step) {
    const tSceneObject& object = SceneObjects[id];
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glEnable(GL_TEXTURE_2D);
    BindSlot(object.model.skin.textureSlot);
    DrawKeyFrames(object.model, step.from, step.to, step.blend);
    // The carried model (a weapon) follows the same blend between its own pair of key frames.
    if (step.subFrom >= 0) {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_FRONT);
        BindSlot(object.subModel.skin.textureSlot);
        DrawKeyFrames(object.subModel, step.subFrom, step.subTo, step.blend);
    }
}

// A single key frame: no blend and no clock.
void DrawStatic(const tSceneObject& object) {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glEnable(GL_TEXTURE_2D);
    BindSlot(object.model.skin.textureSlot);
    DrawKeyFrames(object.model, 0, 0, 0.0f);
}

// The mask multiplies what lies behind (white keeps it, black clears it), then the skin is added
// on top: see-through leaves with no alpha channel.
void DrawMasked(const tSceneObject& object) {
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    // Unlit and unfogged: both passes must meet the same colours behind them. Leaves that write
    // no depth leave the objects behind them free to be drawn later.
    if (!object.writesDepth) {
        glDepthMask(GL_FALSE);
    }
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    BindSlot(object.subModel.skin.textureSlot);
    DrawKeyFrames(object.model, 0, 0, 0.0f);
    glBlendFunc(GL_ONE, GL_ONE);
    BindSlot(object.model.skin.textureSlot);
    DrawKeyFrames(object.model, 0, 0, 0.0f);
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
}

} // namespace

void ResetModelAnimationClock() {
    std::fill(std::begin(LastAdvanceTime), std::end(LastAdvanceTime), TickCount());
}

int32_t NextKeyFrame(const tAnimationInfo& anim, int32_t current) {
    int32_t next = (current + 1) % anim.endFrame;
    if (next == 0) {
        next = anim.loops ? anim.firstFrame : current;
    }
    return next;
}

bool StepAnimation(int id, uint32_t now, tAnimationStep* step) {
    tSceneObject& object = SceneObjects[id];
    tModel& main = object.model;
    tModel& sub = object.subModel;
    // Both models play from the main model's animation list; only the main model's loop flags
    // count.
    if (!ValidFrame(main, main.currentFrameIndex)) {
        return false;
    }
    const tAnimationInfo* anim = AnimationOf(main, main);
    *step = {main.currentFrameIndex, main.currentFrameIndex, -1, -1, 0.0f, false};
    const bool subDrawn = object.hasSubModel && sub.currentAnim < sub.numAnimations &&
                          ValidFrame(sub, sub.currentFrameIndex);
    if (subDrawn) {
        step->subFrom = step->subTo = sub.currentFrameIndex;
    }
    if (anim == nullptr) {
        // Nothing to play: both models stand on the key frame they show.
        return true;
    }
    step->to = NextKeyFrame(*anim, main.currentFrameIndex);
    step->moving = step->to != step->from;
    const tAnimationInfo* subAnim = subDrawn ? AnimationOf(main, sub) : nullptr;
    if (subAnim != nullptr) {
        step->subTo = NextKeyFrame(*subAnim, sub.currentFrameIndex);
    }

    // Unsigned difference: right across the tick counter's wrap. The blend stops at the next
    // key frame, so a long pause or the first drawing never throws the vertices past it.
    const uint32_t elapsed = now - LastAdvanceTime[id];
    step->blend = std::min(static_cast<float>(elapsed) / static_cast<float>(kFrameMillis), 1.0f);
    if (elapsed >= kFrameMillis) {
        main.currentFrameIndex = step->to;
        if (subAnim != nullptr) {
            sub.currentFrameIndex = step->subTo;
        }
        LastAdvanceTime[id] = now;
    }
    return true;
}

bool DrawModel(int id) {
    if (id < 0 || id >= kMaxSceneObjects) {
        return false;
    }
    tSceneObject& object = SceneObjects[id];
    const int32_t frameCount = KeyFrameCount(object.model);
    if (frameCount == 0) {
        return false;
    }
    // More than one key frame: animated by the clock; one: static, masked or not.
    tAnimationStep step{};
    const bool animated = frameCount > 1;
    if (animated && !StepAnimation(id, TickCount(), &step)) {
        return false;
    }

    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (object.scale == 0.0f) {
        object.scale = 1.0f;
    }
    // Model space to world: placed, turned about the vertical, scaled uniformly.
    const tVec3 p = object.position;
    const float s = object.scale;
    glTranslatef(p.x, p.y, p.z);
    glRotatef(object.rotY, 0.0f, 1.0f, 0.0f);
    glScalef(s, s, s);
    LoadViewClip();

    if (animated) {
        DrawAnimated(id, step);
    } else if (object.hasMaskMap) {
        DrawMasked(object);
    } else {
        DrawStatic(object);
    }

    // No matrix stack: the inverse operations in reverse order bring the matrix back.
    glScalef(1.0f / s, 1.0f / s, 1.0f / s);
    glRotatef(-object.rotY, 0.0f, 1.0f, 0.0f);
    glTranslatef(-p.x, -p.y, -p.z);
    // Left for the next drawing: blending off and depth writes on after the static kinds, culling
    // off after every kind.
    if (!animated) {
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
    }
    glDisable(GL_CULL_FACE);
    return animated && step.moving;
}
