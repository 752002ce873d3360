#include "terrain/blood.h"

#include "basics/frame_timer.h"
#include "basics/game_random.h"
#include "platform/gl_api.h"
#include "render/textures.h"

#include <cmath>

BloodParticle BloodParticles[kBloodParticles];
tBloodEmitter BloodEmitter;

const float BloodColours[kBloodColourCount][3] = {
    {1.0f, 0.5f, 0.5f},  {1.0f, 0.0f, 0.0f}, {1.0f, 0.75f, 0.5f}, {1.0f, 1.0f, 0.5f},
    {0.75f, 1.0f, 0.5f}, {0.5f, 1.0f, 0.5f}, {0.5f, 1.0f, 0.75f}, {0.5f, 1.0f, 1.0f},
    {0.5f, 0.75f, 1.0f}, {0.5f, 0.5f, 1.0f}, {0.75f, 0.5f, 1.0f}, {1.0f, 0.5f, 1.0f},
    {1.0f, 0.5f, 0.75f},
};

namespace {

constexpr float kPi = 3.14159265359f;

float RandomFade() {
    return static_cast<float>(GameRandom() % 100) / 1000.0f + 0.003f;
}

void SetColour(BloodParticle& p, unsigned index) {
    // An index past the table (a caller's mistake) falls back to red rather than reading beyond.
    const float* c = BloodColours[index < kBloodColourCount ? index : 1u];
    p.colour[0] = c[0];
    p.colour[1] = c[1];
    p.colour[2] = c[2];
}

} // namespace

void ResetBlood() {
    for (BloodParticle& particle : BloodParticles) {
        particle = BloodParticle{};
    }
    BloodEmitter = tBloodEmitter{};
}

void EmitBlood(unsigned respawnFrames, unsigned durationFrames, float slowdown, bool cycleColours,
               unsigned cycleDelay, unsigned colourIndex, tVec3 origin) {
    BloodEmitter.respawnFrames = respawnFrames;
    BloodEmitter.durationFrames = durationFrames;
    BloodEmitter.slowdown = slowdown;
    BloodEmitter.cycleColours = cycleColours;
    BloodEmitter.cycleDelay = cycleDelay;
    BloodEmitter.colourIndex = colourIndex;
    BloodEmitter.origin = origin;
    BloodEmitter.cycleCounter = 0;
    BloodEmitter.respawnCounter = 0;
    BloodEmitter.durationCounter = 0;
    // Born dead (life 0): each is invisible in its first drawn frame and reborn there with its
    // random speed.
    for (BloodParticle& p : BloodParticles) {
        p.active = true;
        p.life = 0.0f;
        p.fade = RandomFade();
        SetColour(p, colourIndex);
        p.gravity = {1.0f, -1.0f, 0.0f};
        p.velocity = {0.0f, 0.0f, 0.0f};
        p.offset = {0.0f, 0.0f, 0.0f};
    }
}

bool DrawBlood(bool loop, float pitch, float heading) {
    const float f = EffectRate();
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, TextureTable[kTexBlood]);

    // The square faces the camera: turned by the pitch about x, then by -heading about y.
    const float a = pitch * kPi / 180.0f;
    const float b = -heading * kPi / 180.0f;
    const float ca = CosF(a), sa = SinF(a), cb = CosF(b), sb = SinF(b);
    static const tVec3 kCorners[4] = {
        {-0.5f, -0.5f, 0.0f}, {-0.5f, 0.5f, 0.0f}, {0.5f, -0.5f, 0.0f}, {0.5f, 0.5f, 0.0f}};
    static const float kTexCoords[4][2] = {{0.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}};
    tVec3 px[4];
    for (int i = 0; i < 4; ++i) {
        const tVec3 c = kCorners[i];
        const float y1 = c.y * ca - c.z * sa;
        const float z1 = c.y * sa + c.z * ca;
        px[i] = {c.x * cb - z1 * sb, y1, c.x * sb + z1 * cb};
    }
    // Velocity is per frame at 50 frames per second; the divisor makes it per second.
    const float divisor = BloodEmitter.slowdown * 1000.0f * f / 50.0f;

    for (BloodParticle& p : BloodParticles) {
        if (!p.active) {
            continue;
        }
        glColor4f(p.colour[0], p.colour[1], p.colour[2], p.life);
        glBegin(GL_TRIANGLE_STRIP);
        for (int i = 0; i < 4; ++i) {
            const tVec3 v = px[i] + p.offset + BloodEmitter.origin;
            glTexCoord2f(kTexCoords[i][0], kTexCoords[i][1]);
            glVertex3f(v.x, v.y, v.z);
        }
        glEnd();

        p.offset.x += p.velocity.x / divisor;
        p.offset.y += p.velocity.y / divisor;
        p.offset.z += p.velocity.z / divisor;
        p.velocity = p.velocity + p.gravity;
        p.life -= p.fade;
        // Only the burst's first frames give rebirth; a later death stays drawn, transparent.
        if (p.life < 0.0f && BloodEmitter.respawnCounter <= BloodEmitter.respawnFrames) {
            p.life = 1.0f;
            p.fade = RandomFade();
            p.offset = {0.0f, 0.0f, 0.0f};
            // Drawn in x, y, z order.
            const float vx = static_cast<float>(GameRandom() % 60 - 32);
            const float vy = static_cast<float>(GameRandom() % 60 - 30);
            const float vz = static_cast<float>(GameRandom() % 60 - 30);
            p.velocity = {vx, vy, vz};
            SetColour(p, BloodEmitter.colourIndex);
        }
    }

    if (BloodEmitter.cycleColours) {
        BloodEmitter.cycleCounter += 1;
        if (BloodEmitter.cycleCounter > BloodEmitter.cycleDelay) {
            BloodEmitter.colourIndex = (BloodEmitter.colourIndex + 1) % kBloodCycleColours;
            BloodEmitter.cycleCounter = 0;
        }
    }
    BloodEmitter.respawnCounter += 1;
    BloodEmitter.durationCounter += 1;
    if (loop) {
        if (BloodEmitter.durationCounter > BloodEmitter.durationFrames) {
            BloodEmitter.durationCounter = 0;
        }
        return true;
    }
    return BloodEmitter.durationCounter <= BloodEmitter.durationFrames;
}
