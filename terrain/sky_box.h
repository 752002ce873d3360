// The sky box around the camera and its two drifting cloud layers.
#pragma once

// Box centred at (x, y, z) with the given sizes.
void DrawSkyBox(float x, float y, float z, float width, float height, float length);
