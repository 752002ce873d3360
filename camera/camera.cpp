#include "camera/camera.h"

tCamera Camera = {{0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {}};
float PitchTotal = 0.0f;
float PitchTotalBefore = 0.0f;

void tCamera::Place(float px, float py, float pz, float vx, float vy, float vz, float ux, float uy,
                    float uz) {
    vPosition = {px, py, pz};
    vView = {vx, vy, vz};
    vUpVector = {ux, uy, uz};
}
float tCamera::YawDegrees() const {
    return 0.0f;
}
float tCamera::PitchDegrees() const {
    return 0.0f;
}
void tCamera::MouseLook() {}
void tCamera::TurnView(float, float, float, float) {}
void tCamera::Update() {}
void tCamera::ApplyView() const {}
void tCamera::PollMovementKeys() {}
void tCamera::Walk(float) {}
void tCamera::Sidestep(float) {}
