#include "terrain/sky_box.h"

void DrawSkyBox(float, float, float, float, float, float) {}
