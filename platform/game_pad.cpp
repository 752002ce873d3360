#include "platform/game_pad.h"

float PadStickAxis(float axis) {
    return axis > -kPadStickDeadZone && axis < kPadStickDeadZone ? 0.0f : axis;
}

bool PadStickKeyDown(float x, float y, tKey key) {
    switch (key) {
    case kKeyUp:
    case kKeyW:
        return PadStickAxis(y) < 0.0f;
    case kKeyDown:
    case kKeyS:
        return PadStickAxis(y) > 0.0f;
    case kKeyLeft:
    case kKeyA:
        return PadStickAxis(x) < 0.0f;
    case kKeyRight:
    case kKeyD:
        return PadStickAxis(x) > 0.0f;
    case kKeyCount:
        break;
    }
    return false;
}

bool PadTriggerShot(float travel, bool* pulled) {
    if (!*pulled && travel >= kPadTriggerPull) {
        *pulled = true;
        return true;
    }
    if (*pulled && travel < kPadTriggerRelease) {
        *pulled = false;
    }
    return false;
}
