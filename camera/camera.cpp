#include "camera/camera.h"

#include "platform/gl_api.h"
#include "platform/platform.h"

// The program's start-up camera; the world loader places it before the first frame.
tCamera Camera = {{0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {}};
float PitchTotal = 0.0f;
float PitchTotalBefore = 0.0f;
float MouseSensitivity = 1.0f;
bool InvertMouse = false;

void tCamera::Place(float px, float py, float pz, float vx, float vy, float vz, float ux, float uy,
                    float uz) {
    vPosition = {px, py, pz};
    vView = {vx, vy, vz};
    vUpVector = {ux, uy, uz};
}

float HeadingDegrees(float dx, float dz) {
    float angle;
    if (AbsF(dz) < kNearZeroDepth) {
        if (dz > 0.0f) {
            angle = dx < 0.0f ? kHalfPi : -kHalfPi;
        } else {
            angle = dx > 0.0f ? kHalfPi : -kHalfPi;
        }
    } else {
        angle = AtanF(dx / dz);
    }
    float degrees = angle * kDegreesPerRadian;
    // atan only covers the half plane dz > 0; the other half is folded back by half a turn.
    if (dx > 0.0f && dz < 0.0f) {
        degrees += 180.0f;
    }
    if (dx < 0.0f && dz < 0.0f) {
        degrees -= 180.0f;
    }
    return degrees;
}

float tCamera::YawDegrees() const {
    // The heading of the eye seen from the look-at point, so the view's opposite direction.
    return HeadingDegrees(vPosition.x - vView.x, vPosition.z - vView.z);
}

float tCamera::PitchDegrees() const {
    const float len = Length(vView - vPosition);
    return AsinF((vView.y - vPosition.y) / len) * kDegreesPerRadian;
}

void tCamera::MouseLook(int cx, int cy) {
    int mouseX = 0, mouseY = 0;
    GetCursorPos(&mouseX, &mouseY);
    if (mouseX == cx && mouseY == cy) {
        return;
    }
    SetCursorPos(cx, cy);

    // Integer pixel travel divided in double precision, kept as float radians.
    // The sensitivity multiplies exactly: at 1.0 the steps are the game's own to the last bit.
    const double perPixel = static_cast<double>(MouseSensitivity);
    const float yawStep = static_cast<float>(static_cast<double>(cx - mouseX) * perPixel /
                                             static_cast<double>(kMouseDivisor));
    const float pitchStep =
        static_cast<float>(static_cast<double>(InvertMouse ? mouseY - cy : cy - mouseY) * perPixel /
                           static_cast<double>(kMouseDivisor));
    PitchTotalBefore = PitchTotal;
    PitchTotal = PitchTotal + pitchStep;

    const tVec3 vAxis = Normalized(CrossProduct(vView - vPosition, vUpVector));
    // A step that crosses the limit turns exactly up to it; at the limit it turns nothing.
    if (PitchTotal > kPitchLimit) {
        PitchTotal = kPitchLimit;
        if (PitchTotalBefore != kPitchLimit) {
            TurnView(kPitchLimit - PitchTotalBefore, vAxis.x, vAxis.y, vAxis.z);
        }
    } else if (PitchTotal < -kPitchLimit) {
        PitchTotal = -kPitchLimit;
        if (PitchTotalBefore != -kPitchLimit) {
            TurnView(-kPitchLimit - PitchTotalBefore, vAxis.x, vAxis.y, vAxis.z);
        }
    } else {
        TurnView(pitchStep, vAxis.x, vAxis.y, vAxis.z);
    }
    // Yaw about the world's vertical, whatever the up vector holds.
    TurnView(yawStep, 0.0f, 1.0f, 0.0f);
}

void tCamera::TurnView(float angle, float x, float y, float z) {
    const tVec3 v = vView - vPosition;
    const float c = CosF(angle);
    const float s = SinF(angle);
    const float k = 1.0f - c;
    // Rotation matrix about a unit axis; each row summed left to right in float.
    tVec3 n;
    n.x = (k * x * x + c) * v.x;
    n.x += (k * x * y - z * s) * v.y;
    n.x += (k * x * z + y * s) * v.z;
    n.y = (k * x * y + z * s) * v.x;
    n.y += (k * y * y + c) * v.y;
    n.y += (k * y * z - x * s) * v.z;
    n.z = (k * x * z - y * s) * v.x;
    n.z += (k * y * z + x * s) * v.y;
    n.z += (k * z * z + c) * v.z;
    vView = vPosition + n;
}

void tCamera::ApplyView() const {
    gluLookAt(vPosition.x, vPosition.y, vPosition.z, vView.x, vView.y, vView.z, vUpVector.x,
              vUpVector.y, vUpVector.z);
}
