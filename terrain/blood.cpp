#include "terrain/blood.h"

void EmitBlood(unsigned, unsigned, float, bool, unsigned, unsigned, tVec3) {}
bool DrawBlood(bool, float, float) {
    return false;
}
