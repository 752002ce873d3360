// The level file: places every enemy, letter and piece of scenery.
#pragma once

#include <cstddef>

// Reads the level, loads each entry's models into its slot and sets the id ranges. A missing
// file is reported and leaves an empty world.
void ReadLevel(const char* path);
// The same from the file's text held in memory; name stands for the file in messages.
void ReadLevelText(const char* text, size_t length, const char* name);
