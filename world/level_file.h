// The level file: places every enemy, letter and piece of scenery.
#pragma once

// Reads the level, loads each entry's models into its slot and sets the id ranges.
void ReadLevel(const char* path);
