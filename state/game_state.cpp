#include "state/game_state.h"

#include "platform/platform.h"

#include <cstring>

uint32_t WindowWidth = 0;
uint32_t WindowHeight = 0;
uint32_t ColorBits = 0;
bool FullScreen = true;

bool AppInstance = false;
bool MainWindow = false;
bool WindowDC = false;
bool GLContext = false;

int32_t PlayerHealth = kFullHealth;
uint32_t LettersCollected = 0;
char LetterWord[6] = "KWERT";
int32_t RedTintFrames = 0;
bool BloodActive = false;
int32_t ShotTarget = 0;
tVec3 HitPoint;
float WorldFrameInterval = 0.0f;
float LetterSpin = 0.0f;

void ResetWindowState() {
    WindowWidth = 0;
    WindowHeight = 0;
    ColorBits = 0;
    FullScreen = true;
    AppInstance = false;
    MainWindow = false;
    WindowDC = false;
    GLContext = false;
}

void ResetMissionState() {
    PlayerHealth = kFullHealth;
    LettersCollected = 0;
    std::memcpy(LetterWord, "KWERT", sizeof(LetterWord));
    RedTintFrames = 0;
    BloodActive = false;
    ShotTarget = 0;
    HitPoint = tVec3(0.0f, 0.0f, 0.0f);
    WorldFrameInterval = 0.0f;
    LetterSpin = 0.0f;
}

void ResetGameState() {
    ResetWindowState();
    ResetMissionState();
}

void WindowCentre(int* x, int* y) {
    int originX = 0, originY = 0;
    GetClientOrigin(&originX, &originY);
    *x = originX + static_cast<int>(WindowWidth / 2u);
    *y = originY + static_cast<int>(WindowHeight / 2u);
}
