// The enemy soldier and the rifle he carries: rigid body parts on a small
// skeleton, posed for each of the 198 key frames, and their painted skins.
//
// File axes: z up, the soldier faces +x, +y is his left. His origin is 24
// units above the soles of his boots (the game keeps a walking enemy's origin
// 25 above the ground) and he stands about 56 units tall, so his half height
// exceeds 25 and a level shot from the player's eye meets his hit rectangles.
#include "datagen.h"
#include "mesh_builder.h"
#include "noise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace dg {

namespace {

enum Bone {
    kRoot,
    kTorso,
    kHead,
    kUpperArmR,
    kForearmR,
    kUpperArmL,
    kForearmL,
    kThighR,
    kShinR,
    kThighL,
    kShinL,
    kBoneCount
};

// Parent and joint position (in the parent's frame) of each bone at rest.
const int kParent[kBoneCount] = {-1,         kRoot, kTorso,  kTorso, kUpperArmR, kTorso,
                                 kUpperArmL, kRoot, kThighR, kRoot,  kThighL};
const Vec3 kJoint[kBoneCount] = {{0, 0, 0},     {0, 0, 2},     {0, 0, 18.5f}, {0, -8.3f, 16},
                                 {0, 0, -9.5f}, {0, 8.3f, 16}, {0, 0, -9.5f}, {0, -3.6f, -1},
                                 {0, 0, -11},   {0, 3.6f, -1}, {0, 0, -11}};

constexpr float kSoleZ = -24.0f; // lowest point of every frame

// Joint angles of one key frame. pitch swings a hanging limb forward (and
// tilts an upright part backward), roll swings it toward +y, yaw turns it
// about its own axis.
struct Pose {
    float pitch[kBoneCount] = {}, roll[kBoneCount] = {}, yaw[kBoneCount] = {};
    Vec3 shift;             // of the whole body before turning
    float bodyPitch = 0.0f; // whole body, about `pivot`
    float bodyRoll = 0.0f, bodyYaw = 0.0f;
    Vec3 pivot{0, 0, kSoleZ};
    float lift = 0.0f; // height of the soles above the ground
};

Mat3 JointRotation(float pitch, float roll, float yaw) {
    return RotZ(yaw) * RotY(-pitch) * RotX(roll);
}

void BoneTransforms(const Pose& p, Xform out[kBoneCount]) {
    Mat3 body = JointRotation(p.bodyPitch, p.bodyRoll, p.bodyYaw);
    out[kRoot] = {body * JointRotation(p.pitch[kRoot], p.roll[kRoot], p.yaw[kRoot]),
                  p.pivot + body * (p.shift - p.pivot)};
    for (int b = 1; b < kBoneCount; ++b)
        out[b] =
            Compose(out[kParent[b]], {JointRotation(p.pitch[b], p.roll[b], p.yaw[b]), kJoint[b]});
}

// Rifle carried at the hip, pointing forward.
void Carry(Pose& p) {
    p.pitch[kUpperArmR] = 0.25f, p.roll[kUpperArmR] = -0.12f, p.pitch[kForearmR] = 1.3f;
    p.pitch[kUpperArmL] = 0.75f, p.roll[kUpperArmL] = -0.35f, p.pitch[kForearmL] = 0.75f;
    p.yaw[kForearmL] = -0.3f;
}

// Rifle raised to the shoulder.
void Aim(Pose& p) {
    p.pitch[kUpperArmR] = 0.9f, p.roll[kUpperArmR] = -0.25f, p.pitch[kForearmR] = 0.75f;
    p.pitch[kUpperArmL] = 1.2f, p.roll[kUpperArmL] = -0.5f, p.pitch[kForearmL] = 0.5f;
    p.pitch[kHead] = -0.08f;
}

void Crouch(Pose& p) {
    p.pitch[kThighR] = p.pitch[kThighL] = 1.25f;
    p.pitch[kShinR] = p.pitch[kShinL] = -2.1f;
    p.pitch[kTorso] = -0.35f;
    p.pitch[kHead] = 0.25f;
}

void Recoil(Pose& p, float r) {
    p.pitch[kForearmR] += 0.3f * r;
    p.pitch[kUpperArmR] -= 0.15f * r;
    p.pitch[kForearmL] += 0.2f * r;
    p.pitch[kTorso] += 0.07f * r;
    p.pitch[kHead] += 0.05f * r;
    p.shift.x -= 0.6f * r;
}

void LegCycle(Pose& p, float phase, float amount) {
    float s = std::sin(phase), c = std::cos(phase);
    p.pitch[kThighL] += amount * s;
    p.pitch[kThighR] -= amount * s;
    p.pitch[kShinL] -= 0.3f + 1.2f * amount * std::max(0.0f, c);
    p.pitch[kShinR] -= 0.3f + 1.2f * amount * std::max(0.0f, -c);
}

// A fall: f runs 0 ... 1; direction +1 backward, -1 forward.
void Fall(Pose& p, float f, float direction) {
    float e = f * f * (3.0f - 2.0f * f);
    p.bodyPitch = direction * 1.55f * e;
    float knees = std::sin(kPi * f) * 0.9f;
    p.pitch[kThighR] += knees * 0.8f, p.pitch[kThighL] += knees * 0.6f;
    p.pitch[kShinR] -= knees * 1.2f, p.pitch[kShinL] -= knees;
    // The arms fly out to the sides and end flat on the ground.
    p.pitch[kUpperArmR] = Mix(p.pitch[kUpperArmR], 0.1f, e);
    p.pitch[kUpperArmL] = Mix(p.pitch[kUpperArmL], 0.1f, e);
    p.roll[kUpperArmR] -= 1.1f * e, p.roll[kUpperArmL] += 1.2f * e;
    p.pitch[kForearmR] = Mix(p.pitch[kForearmR], 0.2f, e);
    p.pitch[kForearmL] = Mix(p.pitch[kForearmL], 0.3f, e);
    p.pitch[kHead] += 0.35f * e * direction;
}

struct AnimRun {
    const char* prefix;
    int count, digits;
};

// The classic character layout: 198 key frames in this order.
const AnimRun kAnims[] = {{"stand", 40, 2},  {"run", 6, 1},    {"attack", 8, 1},  {"pain1", 4, 2},
                          {"pain2", 4, 2},   {"pain3", 4, 2},  {"jump", 6, 1},    {"flip", 12, 2},
                          {"salute", 11, 2}, {"taunt", 17, 2}, {"wave", 11, 2},   {"point", 12, 2},
                          {"crstnd", 19, 2}, {"crwalk", 6, 1}, {"crattak", 9, 1}, {"crpain", 4, 1},
                          {"crdeath", 5, 1}, {"death1", 6, 2}, {"death2", 6, 2},  {"death3", 8, 2}};

Pose PoseFor(const std::string& anim, int k, int n) {
    Pose p;
    Carry(p);
    const float u = n > 1 ? static_cast<float>(k) / (n - 1) : 0.0f; // 0 ... 1 over the run
    const float cyc = 2.0f * kPi * k / n;                           // one loop
    const float env = std::sin(kPi * u);                            // up and back down
    if (anim == "stand") {
        float b = std::sin(cyc);
        p.pitch[kTorso] += 0.03f * b;
        p.pitch[kHead] -= 0.03f * b;
        p.pitch[kUpperArmR] += 0.04f * b, p.pitch[kUpperArmL] += 0.04f * b;
        p.roll[kRoot] = 0.025f * std::sin(cyc * 0.5f);
        p.yaw[kHead] = 0.12f * std::sin(cyc * 0.5f);
    } else if (anim == "run") {
        LegCycle(p, cyc, 0.8f);
        p.pitch[kTorso] = -0.2f;
        p.pitch[kHead] = 0.12f;
        p.yaw[kTorso] = 0.12f * std::sin(cyc);
        p.pitch[kUpperArmL] += 0.2f * std::sin(cyc);
        p.pitch[kUpperArmR] -= 0.12f * std::sin(cyc);
        p.shift.z = 1.2f * std::fabs(std::sin(cyc));
    } else if (anim == "attack" || anim == "crattak") {
        static const float r8[8] = {0.0f, 1.0f, 0.55f, 0.25f, 1.0f, 0.55f, 0.25f, 0.0f};
        static const float r9[9] = {0.0f, 1.0f, 0.55f, 0.25f, 1.0f, 0.55f, 0.25f, 0.1f, 0.0f};
        if (anim == "crattak")
            Crouch(p);
        Aim(p);
        Recoil(p, anim == "attack" ? r8[k % 8] : r9[k % 9]);
    } else if (anim.rfind("pain", 0) == 0 || anim == "crpain") {
        static const float f4[4] = {0.6f, 1.0f, 0.6f, 0.2f};
        float f = f4[k % 4];
        if (anim == "crpain")
            Crouch(p);
        if (anim == "pain2") {
            p.roll[kTorso] = 0.3f * f, p.roll[kHead] = 0.3f * f, p.bodyRoll = -0.08f * f;
            p.roll[kUpperArmR] -= 0.5f * f;
        } else if (anim == "pain3") {
            p.pitch[kTorso] -= 0.5f * f, p.pitch[kHead] -= 0.25f * f;
            p.pitch[kThighR] += 0.35f * f, p.pitch[kThighL] += 0.35f * f;
            p.pitch[kShinR] -= 0.6f * f, p.pitch[kShinL] -= 0.6f * f;
        } else {
            p.pitch[kTorso] += 0.35f * f, p.pitch[kHead] += 0.3f * f;
            p.pitch[kUpperArmR] -= 0.3f * f, p.pitch[kUpperArmL] -= 0.4f * f;
            p.pitch[kThighR] += 0.25f * f, p.pitch[kShinR] -= 0.4f * f;
            p.shift.x -= 1.5f * f;
        }
    } else if (anim == "jump") {
        static const float crouch[6] = {0.6f, 1.0f, 0.0f, 0.0f, 0.3f, 0.0f};
        static const float up[6] = {0.0f, 0.0f, 6.0f, 9.0f, 4.0f, 0.0f};
        p.pitch[kThighR] = p.pitch[kThighL] = 0.9f * crouch[k] + (up[k] > 0 ? 0.3f : 0.0f);
        p.pitch[kShinR] = p.pitch[kShinL] = -1.5f * crouch[k] - (up[k] > 0 ? 0.4f : 0.0f);
        p.pitch[kTorso] = -0.3f * crouch[k];
        p.lift = up[k];
    } else if (anim == "flip") {
        p.bodyPitch = 2.0f * kPi * u;
        p.pivot = {0, 0, 4};
        p.pitch[kThighR] = p.pitch[kThighL] = 1.4f * env;
        p.pitch[kShinR] = p.pitch[kShinL] = -2.0f * env;
        p.lift = 16.0f * env;
    } else if (anim == "salute") {
        p.pitch[kUpperArmR] = Mix(p.pitch[kUpperArmR], 1.4f, env);
        p.roll[kUpperArmR] = Mix(p.roll[kUpperArmR], -1.0f, env);
        p.pitch[kForearmR] = Mix(p.pitch[kForearmR], 2.3f, env);
        p.pitch[kTorso] += 0.05f * env;
    } else if (anim == "taunt") {
        float w = std::sin(2.0f * kPi * 3.0f * k / 16.0f);
        p.pitch[kUpperArmR] = Mix(p.pitch[kUpperArmR], 2.8f, env);
        p.pitch[kUpperArmL] = Mix(p.pitch[kUpperArmL], 2.8f, env);
        p.roll[kUpperArmR] -= 0.3f * env, p.roll[kUpperArmL] += 0.3f * env;
        p.pitch[kForearmR] = 0.3f + 0.5f * w * env, p.pitch[kForearmL] = 0.3f - 0.5f * w * env;
        p.yaw[kTorso] = 0.25f * w * env;
        p.pitch[kTorso] += 0.1f * env, p.pitch[kHead] += 0.25f * env;
    } else if (anim == "wave") {
        float w = std::sin(2.0f * kPi * 2.0f * k / 10.0f);
        p.pitch[kUpperArmL] = Mix(p.pitch[kUpperArmL], 0.4f, env);
        p.roll[kUpperArmL] = Mix(p.roll[kUpperArmL], 1.9f, env);
        p.pitch[kForearmL] = Mix(p.pitch[kForearmL], 0.1f, env);
        p.roll[kForearmL] = env * (0.9f + 0.5f * w);
    } else if (anim == "point") {
        float hold = std::min(1.0f, std::min(k / 3.0f, (n - 1 - k) / 2.0f));
        p.pitch[kUpperArmL] = Mix(p.pitch[kUpperArmL], 1.5f, hold);
        p.roll[kUpperArmL] = Mix(p.roll[kUpperArmL], 0.1f, hold);
        p.pitch[kForearmL] = Mix(p.pitch[kForearmL], 0.05f, hold);
        p.yaw[kHead] = 0.2f * hold;
    } else if (anim == "crstnd") {
        Crouch(p);
        p.pitch[kTorso] += 0.03f * std::sin(cyc);
        p.yaw[kHead] = 0.15f * std::sin(cyc * 0.5f);
    } else if (anim == "crwalk") {
        Crouch(p);
        LegCycle(p, cyc, 0.35f);
        p.yaw[kTorso] = 0.08f * std::sin(cyc);
    } else if (anim == "crdeath") {
        // The death the game plays: the knees give and he falls on his back.
        static const float f5[5] = {0.15f, 0.4f, 0.68f, 0.9f, 1.0f};
        Fall(p, f5[k], 1.0f);
    } else if (anim == "death1") {
        Fall(p, u, 1.0f);
    } else if (anim == "death2") {
        Fall(p, u, -1.0f);
    } else if (anim == "death3") {
        float e = u * u * (3.0f - 2.0f * u);
        p.bodyYaw = 1.2f * e;
        p.bodyRoll = 1.5f * e;
        p.roll[kUpperArmL] += 1.2f * e;
        p.pitch[kThighL] += 0.6f * std::sin(kPi * u);
        p.pitch[kShinL] -= 0.9f * std::sin(kPi * u);
    }
    return p;
}

// ---- Skins ---------------------------------------------------------------

// Skin rectangles of the soldier (256 x 256).
const UvRect kTorsoUv{0, 0, 128, 64}, kFaceUv{128, 0, 192, 64}, kHelmetUv{192, 0, 256, 64};
const UvRect kUpperArmUv{0, 64, 64, 128}, kForearmUv{64, 64, 128, 128}, kHandUv{128, 64, 160, 96};
const UvRect kThighUv{0, 128, 64, 192}, kShinUv{64, 128, 128, 192}, kBootUv{128, 128, 192, 160};
const UvRect kBeltUv{0, 192, 64, 224};

bool Inside(const UvRect& r, int x, int y) {
    return x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1;
}

Vec3 Camo(int x, int y, Vec3 base) {
    float n1 = Noise2(x / 11.0f, y / 11.0f, 91u), n2 = Noise2(x / 7.0f, y / 7.0f, 93u);
    Vec3 c = base;
    if (n1 > 0.25f)
        c = base * 0.72f;
    if (n2 > 0.4f)
        c = Vec3{base.x * 1.15f, base.y * 1.1f, base.z * 0.95f};
    return c * (0.94f + 0.06f * Noise2(x / 2.0f, y / 2.0f, 95u));
}

Image SoldierSkin() {
    Image img(256, 256);
    const Vec3 uniform{0.34f, 0.37f, 0.22f}, trousers{0.30f, 0.32f, 0.20f};
    const Vec3 skin{0.87f, 0.66f, 0.52f}, leather{0.16f, 0.12f, 0.09f}, helmet{0.24f, 0.29f, 0.17f};
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            Vec3 c{0.2f, 0.2f, 0.2f};
            if (Inside(kTorsoUv, x, y)) {
                float u = (x - kTorsoUv.x0) / 128.0f, v = (y - kTorsoUv.y0) / 64.0f;
                c = Camo(x, y, uniform);
                if (v > 0.86f)
                    c = leather * 1.4f; // belt
                // Chest straps crossing at the front and a pocket each side.
                float su = std::fabs(u - 0.5f);
                if (std::fabs(su * 2.0f - (0.45f - v * 0.5f)) < 0.03f && v < 0.8f)
                    c = leather * 1.8f;
                if (su > 0.08f && su < 0.18f && v > 0.45f && v < 0.7f)
                    c = c * 0.8f;
                c = c * (0.85f + 0.15f * std::cos(2.0f * kPi * (u - 0.5f)));
            } else if (Inside(kFaceUv, x, y)) {
                float u = (x - kFaceUv.x0) / 64.0f, v = (y - kFaceUv.y0) / 64.0f;
                c = skin * (0.8f + 0.2f * std::cos(2.0f * kPi * (u - 0.5f)));
                float du = u - 0.5f;
                if (std::fabs(du) > 0.3f && v < 0.55f)
                    c = Vec3{0.25f, 0.17f, 0.1f}; // short hair at the back
                if (std::fabs(std::fabs(du) - 0.075f) < 0.03f && std::fabs(v - 0.40f) < 0.035f)
                    c = Vec3{0.12f, 0.1f, 0.1f}; // eyes
                if (std::fabs(std::fabs(du) - 0.075f) < 0.045f && std::fabs(v - 0.34f) < 0.015f)
                    c = Vec3{0.3f, 0.2f, 0.12f}; // brows
                if (std::fabs(du) < 0.018f && v > 0.42f && v < 0.55f)
                    c = skin * 0.72f; // nose
                if (std::fabs(du) < 0.06f && std::fabs(v - 0.62f) < 0.014f)
                    c = Vec3{0.5f, 0.25f, 0.22f}; // mouth
            } else if (Inside(kHelmetUv, x, y)) {
                float v = (y - kHelmetUv.y0) / 64.0f;
                c = Camo(x, y, helmet) * (1.1f - 0.3f * v);
                if (v > 0.82f)
                    c = helmet * 0.6f;
            } else if (Inside(kUpperArmUv, x, y) || Inside(kForearmUv, x, y)) {
                float v = (y - kForearmUv.y0) / 64.0f; // both sleeves share the rows
                c = Camo(x, y, uniform);
                if (Inside(kForearmUv, x, y) && v > 0.8f)
                    c = uniform * 0.7f; // cuff
            } else if (Inside(kHandUv, x, y)) {
                c = skin * (0.9f + 0.1f * Noise2(x / 3.0f, y / 3.0f, 97u));
            } else if (Inside(kThighUv, x, y)) {
                c = Camo(x, y, trousers);
            } else if (Inside(kShinUv, x, y)) {
                float v = (y - kShinUv.y0) / 64.0f;
                c = v < 0.62f ? Camo(x, y, trousers) : leather * (1.3f + 0.2f * (v > 0.66f));
            } else if (Inside(kBootUv, x, y)) {
                float v = (y - kBootUv.y0) / 32.0f;
                c = leather * (1.2f + 0.3f * Noise2(x / 4.0f, y / 4.0f, 99u));
                if (v > 0.8f)
                    c = Vec3{0.08f, 0.07f, 0.06f}; // sole
            } else if (Inside(kBeltUv, x, y)) {
                float v = (y - kBeltUv.y0) / 32.0f, u = (x - kBeltUv.x0) / 64.0f;
                c = Camo(x, y, trousers);
                if (v < 0.35f)
                    c = leather * 1.4f;
                if (v < 0.35f && std::fabs(u - 0.5f) < 0.06f)
                    c = Vec3{0.7f, 0.62f, 0.35f}; // buckle
            }
            img.Set(x, y, c.x, c.y, c.z);
        }
    return img;
}

// Rifle skin (64 x 64): gunmetal, wooden furniture, black fittings.
const UvRect kMetalUv{0, 0, 32, 32}, kWoodUv{32, 0, 64, 32}, kBlackUv{0, 32, 64, 64};

Image WeaponSkin() {
    Image img(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            Vec3 c;
            if (Inside(kMetalUv, x, y))
                c = Vec3{0.32f, 0.34f, 0.36f} * (0.9f + 0.15f * Noise2(x / 3.0f, y / 9.0f, 101u));
            else if (Inside(kWoodUv, x, y))
                c = Vec3{0.45f, 0.27f, 0.13f} *
                    (0.85f + 0.2f * std::sin(x * 0.9f + 3.0f * Noise2(x / 5.0f, y / 12.0f, 103u)));
            else
                c = Vec3{0.1f, 0.1f, 0.11f} * (1.0f + 0.3f * Noise2(x / 4.0f, y / 4.0f, 105u));
            img.Set(x, y, c.x, c.y, c.z);
        }
    return img;
}

// ---- Meshes --------------------------------------------------------------

Xform At(Vec3 p) {
    return {Mat3{}, p};
}

MeshBuilder SoldierMesh() {
    MeshBuilder m(256, 256);
    m.Box(At({0, 0, 0.5f}), {4.0f, 6.2f, 2.6f}, kBeltUv, kRoot);
    m.Lathe(At({}),
            {{18.0f, 3.8f, 6.4f},
             {16.0f, 4.6f, 8.0f},
             {10.0f, 4.8f, 7.4f},
             {4.0f, 4.2f, 6.4f},
             {0.0f, 4.0f, 6.2f}},
            10, kTorsoUv, kTorso);
    m.Lathe(At({}),
            {{11.2f, 0, 0},
             {10.4f, 2.5f, 2.3f},
             {8.8f, 3.9f, 3.6f},
             {6.4f, 4.3f, 3.9f},
             {3.8f, 4.0f, 3.6f},
             {2.0f, 2.6f, 2.4f},
             {0.5f, 2.0f, 2.0f},
             {-1.0f, 2.0f, 2.0f}},
            10, kFaceUv, kHead);
    m.Lathe(At({0.2f, 0, 0}),
            {{12.0f, 0, 0},
             {11.4f, 3.0f, 2.8f},
             {10.0f, 4.6f, 4.3f},
             {8.0f, 5.1f, 4.8f},
             {7.0f, 5.4f, 5.0f}},
            10, kHelmetUv, kHead);
    for (int side = 0; side < 2; ++side) {
        int upper = side == 0 ? kUpperArmR : kUpperArmL, fore = side == 0 ? kForearmR : kForearmL;
        int thigh = side == 0 ? kThighR : kThighL, shin = side == 0 ? kShinR : kShinL;
        m.Lathe(At({}),
                {{2.0f, 0, 0}, {1.0f, 2.0f, 2.0f}, {-5.0f, 1.9f, 1.8f}, {-9.8f, 1.6f, 1.6f}}, 8,
                kUpperArmUv, upper);
        m.Lathe(At({}), {{0.5f, 1.7f, 1.7f}, {-4.0f, 1.7f, 1.6f}, {-8.5f, 1.35f, 1.3f}}, 8,
                kForearmUv, fore);
        m.Box(At({0, 0, -9.6f}), {1.4f, 1.2f, 1.4f}, kHandUv, fore);
        m.Lathe(At({}), {{1.5f, 2.9f, 2.8f}, {-5.0f, 2.6f, 2.5f}, {-11.2f, 2.1f, 2.0f}}, 8,
                kThighUv, thigh);
        m.Lathe(At({}), {{0.5f, 2.1f, 2.0f}, {-4.0f, 2.1f, 2.0f}, {-9.6f, 1.7f, 1.6f}}, 8, kShinUv,
                shin);
        m.Box(At({1.2f, 0, -10.75f}), {3.4f, 2.0f, 1.25f}, kBootUv, shin);
    }
    return m;
}

// The rifle in the right forearm's frame: the hand grips it at (0, 0, -9.5)
// and the barrel runs along the forearm (-z), its top toward +x.
MeshBuilder WeaponMesh() {
    MeshBuilder m(64, 64);
    m.Box(At({0.3f, 0.8f, -4.0f}), {1.5f, 0.7f, 3.2f}, kWoodUv, kForearmR);
    m.Box(At({1.2f, 0.8f, -12.0f}), {1.5f, 0.9f, 5.0f}, kMetalUv, kForearmR);
    m.Box(At({-1.4f, 0.8f, -13.8f}), {1.6f, 0.7f, 1.0f}, kBlackUv, kForearmR);
    m.Box(At({2.9f, 0.8f, -14.0f}), {0.35f, 0.3f, 0.8f}, kBlackUv, kForearmR);
    m.Box(At({0.9f, 0.8f, -19.5f}), {1.0f, 0.75f, 2.5f}, kWoodUv, kForearmR);
    m.Lathe(At({1.6f, 0.8f, -17.0f}), {{0.0f, 0.5f, 0.5f}, {-12.0f, 0.45f, 0.45f}}, 6, kBlackUv,
            kForearmR);
    return m;
}

std::vector<Vec3> Posed(const MeshBuilder& m, const Xform bones[kBoneCount]) {
    std::vector<Vec3> out(m.positions.size());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = Apply(bones[m.bones[i]], m.positions[i]);
    return out;
}

} // namespace

std::vector<std::string> SoldierFrameNames() {
    std::vector<std::string> names;
    for (const AnimRun& a : kAnims)
        for (int i = 1; i <= a.count; ++i) {
            char num[8];
            std::snprintf(num, sizeof num, a.digits == 2 ? "%02d" : "%d", i);
            names.push_back(std::string(a.prefix) + num);
        }
    return names;
}

void GenerateSoldier(Output& out) {
    MeshBuilder body = SoldierMesh(), rifle = WeaponMesh();
    Md2Model bodyModel, rifleModel;
    bodyModel.skinWidth = bodyModel.skinHeight = 256;
    bodyModel.skins = {"Soldier.bmp"};
    bodyModel.texCoords = body.texCoords;
    bodyModel.triangles = body.triangles;
    rifleModel.skinWidth = rifleModel.skinHeight = 64;
    rifleModel.skins = {"Weapon.bmp"};
    rifleModel.texCoords = rifle.texCoords;
    rifleModel.triangles = rifle.triangles;
    const std::vector<std::string> names = SoldierFrameNames();
    size_t frame = 0;
    for (const AnimRun& a : kAnims)
        for (int k = 0; k < a.count; ++k) {
            Pose pose = PoseFor(a.prefix, k, a.count);
            Xform bones[kBoneCount];
            BoneTransforms(pose, bones);
            std::vector<Vec3> b = Posed(body, bones), r = Posed(rifle, bones);
            // Stand every frame on the ground: the lowest point of the body
            // goes to the sole height, then up by the jump's lift.
            float low = b[0].z;
            for (const Vec3& v : b)
                low = std::min(low, v.z);
            float dz = kSoleZ - low + pose.lift;
            for (Vec3& v : b)
                v.z += dz;
            for (Vec3& v : r)
                v.z += dz;
            const std::string& name = names[frame++];
            bodyModel.frames.push_back({name, b});
            rifleModel.frames.push_back({name, r});
        }
    out.Md2("Models/Soldier/Soldier.md2", bodyModel);
    out.Md2("Models/Soldier/Weapon.md2", rifleModel);
    out.Bmp("Models/Soldier/Soldier.bmp", SoldierSkin());
    out.Bmp("Models/Soldier/Weapon.bmp", WeaponSkin());
}

} // namespace dg
