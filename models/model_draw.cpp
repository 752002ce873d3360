#include "models/model_draw.h"

uint32_t LastAdvanceTime = 0;

bool DrawModel(int) {
    return false;
}
