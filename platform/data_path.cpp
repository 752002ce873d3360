#include "platform/data_path.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <new>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

// Where an install puts the data, seen from the game's own directory (the two layouts the
// install chooses between by prefix) and as the build's install prefix names it.
#ifndef OSTRAVEL_DATA_FROM_GAME_SYSTEM
#define OSTRAVEL_DATA_FROM_GAME_SYSTEM "../../../share/games/ostravel"
#endif
#ifndef OSTRAVEL_DATA_FROM_GAME
#define OSTRAVEL_DATA_FROM_GAME "../../share/ostravel"
#endif
#ifndef OSTRAVEL_INSTALLED_DATA_DIR
#define OSTRAVEL_INSTALLED_DATA_DIR "/usr/local/share/ostravel"
#endif

namespace {

// "" while relative data names start from the working directory.
char DataDirPath[kDataDirBytes] = "";
// The run's data directory, as start-up set it (the model loader moves DataDirPath for a while).
char DataRootPath[kDataDirBytes] = "";
bool DataRootNamed = false;

bool Exists(const char* path) {
    struct stat info;
    return stat(path, &info) == 0;
}

// Whether dir ("" for the working directory) holds a Data directory.
bool HoldsData(const char* dir) {
    char path[kDataDirBytes + 8];
    std::snprintf(path, sizeof(path), "%s%sData", dir, dir[0] != '\0' ? "/" : "");
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// dir, made absolute and without "..", into out when it holds Data/.
bool TakeIfHoldsData(const char* dir, char* out, size_t outSize) {
    char real[PATH_MAX];
    if (realpath(dir, real) == nullptr || !HoldsData(real) || std::strlen(real) >= outSize) {
        return false;
    }
    std::memcpy(out, real, std::strlen(real) + 1);
    return true;
}

// Drops the data directory and its '/' from the front of out, leaving the name for messages.
void KeepNameOnly(char* out, size_t prefix) {
    std::memmove(out, out + prefix, std::strlen(out + prefix) + 1);
}

// Replaces the component starting at out[start] with the entry of its directory whose name
// matches it without regard to case. The directory is out[0, start).
bool MatchComponent(char* out, size_t start, size_t end) {
    const char* dirPath = ".";
    char dirBuffer[4096];
    if (start > 0) {
        if (start >= sizeof(dirBuffer)) {
            return false;
        }
        std::memcpy(dirBuffer, out, start);
        dirBuffer[start] = '\0';
        dirPath = dirBuffer;
    }
    DIR* dir = opendir(dirPath);
    if (dir == nullptr) {
        return false;
    }
    bool found = false;
    const size_t length = end - start;
    while (const dirent* entry = readdir(dir)) {
        if (std::strlen(entry->d_name) == length &&
            strncasecmp(entry->d_name, out + start, length) == 0) {
            std::memcpy(out + start, entry->d_name, length);
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}

} // namespace

bool SetDataDir(const char* dir) {
    const size_t length = std::strlen(dir);
    if (length >= sizeof(DataDirPath)) {
        return false;
    }
    std::memmove(DataDirPath, dir, length + 1);
    return true;
}

const char* DataDir() {
    return DataDirPath;
}

tDataRootResult FindDataRoot(const char* named, char* out, size_t outSize) {
    if (outSize == 0) {
        return kDataRootNotFound;
    }
    out[0] = '\0';
    if (named == nullptr || named[0] == '\0') {
        named = std::getenv(kDataDirVariable);
    }
    if (named != nullptr && named[0] != '\0') {
        std::snprintf(out, outSize, "%s", named);
        return std::strlen(named) < outSize && HoldsData(named) ? kDataRootFound
                                                                : kDataRootNamedLacksData;
    }
    // An installed game reads the data installed with it, seen from the game's own place (so an
    // install moved elsewhere as a whole still finds it): a Data/ wherever the player happens to
    // start it is none of the game's.
    char game[PATH_MAX];
    const ssize_t got = readlink("/proc/self/exe", game, sizeof(game) - 1);
    if (got > 0) {
        game[got] = '\0';
        *std::strrchr(game, '/') = '\0';
        for (const char* relative : {OSTRAVEL_DATA_FROM_GAME, OSTRAVEL_DATA_FROM_GAME_SYSTEM}) {
            char candidate[PATH_MAX + 64];
            std::snprintf(candidate, sizeof(candidate), "%s/%s", game, relative);
            if (TakeIfHoldsData(candidate, out, outSize)) {
                return kDataRootFound;
            }
        }
    }
    // A game with no installed data (a build tree, a copied binary): the working directory, then
    // the game's own directory, then the install prefix's data.
    if (HoldsData("")) {
        return kDataRootFound;
    }
    if ((got > 0 && TakeIfHoldsData(game, out, outSize)) ||
        TakeIfHoldsData(OSTRAVEL_INSTALLED_DATA_DIR, out, outSize)) {
        return kDataRootFound;
    }
    out[0] = '\0';
    return kDataRootNotFound;
}

bool SetDataRoot(const char* dir) {
    if (!SetDataDir(dir)) {
        return false;
    }
    std::memcpy(DataRootPath, DataDirPath, sizeof(DataRootPath));
    return true;
}

void NameDataRootOnce() {
    if (DataRootNamed) {
        return;
    }
    DataRootNamed = true;
    char here[PATH_MAX];
    const char* root = DataRootPath;
    if (root[0] == '\0') {
        root = getcwd(here, sizeof(here)) != nullptr ? here : ".";
    }
    std::fprintf(stderr, "ostravel: reading the game's data from %s/Data\n", root);
    std::fflush(stderr);
}

bool ResolveDataPath(const char* name, char* out, size_t outSize) {
    const size_t length = std::strlen(name);
    // Absolute names are taken as they are; relative ones start from the data directory.
    const bool absolute = name[0] == '/' || name[0] == '\\';
    const size_t prefix = absolute || DataDirPath[0] == '\0' ? 0 : std::strlen(DataDirPath) + 1;
    if (prefix + length + 1 > outSize) {
        if (outSize > 0) {
            out[0] = '\0';
        }
        return false;
    }
    if (prefix > 0) {
        std::memcpy(out, DataDirPath, prefix - 1);
        out[prefix - 1] = '/';
    }
    for (size_t i = 0; i <= length; ++i) {
        out[prefix + i] = name[i] == '\\' ? '/' : name[i];
    }
    if (Exists(out)) {
        return true;
    }
    // Walk the components, fixing the case of each one that does not exist as written; the
    // data directory itself is taken as it is.
    size_t start = prefix > 0 ? prefix : out[0] == '/' ? 1 : 0;
    const size_t total = prefix + length;
    while (start < total) {
        size_t end = start;
        while (end < total && out[end] != '/') {
            ++end;
        }
        if (end > start) {
            const char keep = out[end];
            out[end] = '\0';
            const bool exists = Exists(out);
            out[end] = keep;
            if (!exists && !MatchComponent(out, start, end)) {
                KeepNameOnly(out, prefix);
                return false;
            }
        }
        start = end + 1;
    }
    if (!Exists(out)) {
        KeepNameOnly(out, prefix);
        return false;
    }
    return true;
}

tReadResult ReadWholeFile(const char* path, size_t maxBytes, std::vector<uint8_t>* bytes) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return kReadCannotOpen;
    }
    tReadResult result = kReadOk;
    try {
        uint8_t chunk[65536];
        size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
            if (got > maxBytes - bytes->size()) {
                result = kReadTooLarge;
                break;
            }
            bytes->insert(bytes->end(), chunk, chunk + got);
        }
    } catch (const std::bad_alloc&) {
        result = kReadTooLarge;
    }
    if (result == kReadOk && std::ferror(file)) {
        result = kReadError;
    }
    std::fclose(file);
    return result;
}
