// Loading the world once, after the window exists and before the main loop.
#pragma once

// GL context, loading screen, height map, textures, camera, light and fog, level, sound.
void LoadWorld();
