#include "world/shooting.h"

void FireShot() {}
