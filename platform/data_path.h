// File names from data files: backslashes become '/', and a name whose case does not match the
// file on disk is found case-insensitively, one directory level at a time (data made on
// case-blind systems relies on it). Relative names start from the data directory, never from
// the working directory, which belongs to the player's own file names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// ---- the data directory: set at start-up, and by the model loader while a model loads ----

constexpr size_t kDataDirBytes = 4096;
// The environment variable that names the directory holding Data/, as --data does.
constexpr const char* kDataDirVariable = "OSTRAVEL_DATA";

// Where relative data names start: "" (the working directory, the start value) or a directory
// path. False, leaving it unchanged, when dir is too long.
bool SetDataDir(const char* dir);
const char* DataDir();

enum tDataRootResult { kDataRootFound, kDataRootNamedLacksData, kDataRootNotFound };

// The directory that holds the game's Data/, into out: the one named (--data's DIR, else
// $OSTRAVEL_DATA), else the data installed with the game, found from the game's own place.
// Only a game without installed data (a build tree, a copied binary) looks further: the working
// directory (out ""), the game's own directory, the install prefix's data directory. A named
// directory without Data/ is not searched past (out then holds its name); with nothing found
// out is "" and the loaders report each missing file.
tDataRootResult FindDataRoot(const char* named, char* out, size_t outSize);
// The run's data directory, set once at start-up: SetDataDir's, and the one NameDataRootOnce
// names.
bool SetDataRoot(const char* dir);
// Before the first problem with the data is reported: says on a line of its own on standard
// error which Data/ the game reads ("ostravel: reading the game's data from DIR/Data"), once a
// run, so a player who started the game in the wrong place sees where it looked.
void NameDataRootOnce();

// Writes the path to open into out; false when the name does not fit or no such file exists
// (out then holds the name with its separators mapped, without the data directory, for
// messages).
bool ResolveDataPath(const char* name, char* out, size_t outSize);

// Little-endian fields of a file's bytes, whatever the machine; the caller has checked that they
// lie inside the data.
inline uint16_t ReadLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

enum tReadResult { kReadOk, kReadCannotOpen, kReadError, kReadTooLarge };

// The whole file at path (already resolved) appended to bytes, so that readers of outside data
// can bound every later look into it. Too large: more than maxBytes, or more than memory holds;
// bytes then keeps what fitted. A read error keeps what was read before it.
tReadResult ReadWholeFile(const char* path, size_t maxBytes, std::vector<uint8_t>* bytes);
