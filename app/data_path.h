// File names from data files: backslashes become '/', and a name whose case does not match the
// file on disk is found case-insensitively, one directory level at a time (data made on
// case-blind systems relies on it).
#pragma once

#include <cstddef>

// Writes the path to open into out; false when the name does not fit or no such file exists
// (out then holds the name with its separators mapped, for messages).
bool ResolveDataPath(const char* name, char* out, size_t outSize);
