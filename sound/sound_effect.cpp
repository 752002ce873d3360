#include "sound/sound_effect.h"

bool InitSound(const char*) {
    return true;
}
bool LoadSample(const char*) {
    return true;
}
void PlaySample() {}
void PrintSoundError() {}
