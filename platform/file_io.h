// The few file checks the game's own readers and writers need beyond stdio: whether a path the
// player named is a file at all, whether one could be written, and cutting a half-written file
// back to its last whole line.
#pragma once

#include <cstddef>
#include <cstdio>

// Whether path is a regular file that can be opened for reading. Otherwise false, with the
// reason in reason: the system's own ("No such file or directory", "Is a directory",
// "Permission denied"), or "not a regular file" for a device, a pipe or a socket; errno holds
// the system's code (EINVAL for the last).
bool CheckReadableFile(const char* path, char* reason, size_t size);
// Whether path could be opened for writing, without opening, creating or truncating it: an
// existing file the player may write, or a new name in a directory that takes it. Otherwise
// false, with the system's reason in reason ("Is a directory", "Permission denied", ...).
bool CheckWritableFile(const char* path, char* reason, size_t size);
// Whether an open file is a regular file on the disk (not a device, a pipe or a socket).
bool IsRegularFile(FILE* file);
// The length in bytes of an open file, with whatever stdio still buffers written out first;
// -1 where it cannot tell.
long WrittenLength(FILE* file);
// Cuts an open file back to length bytes, dropping whatever stdio still holds for it; false where
// the file cannot be cut (a device, a pipe).
bool CutFileBack(FILE* file, long length);
