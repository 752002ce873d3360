#include "app/platform/data_path.h"

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <new>
#include <strings.h>
#include <sys/stat.h>

namespace {

bool Exists(const char* path) {
    struct stat info;
    return stat(path, &info) == 0;
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

bool ResolveDataPath(const char* name, char* out, size_t outSize) {
    const size_t length = std::strlen(name);
    if (length + 1 > outSize) {
        if (outSize > 0) {
            out[0] = '\0';
        }
        return false;
    }
    for (size_t i = 0; i <= length; ++i) {
        out[i] = name[i] == '\\' ? '/' : name[i];
    }
    if (Exists(out)) {
        return true;
    }
    // Walk the components, fixing the case of each one that does not exist as written.
    size_t start = out[0] == '/' ? 1 : 0;
    while (start < length) {
        size_t end = start;
        while (end < length && out[end] != '/') {
            ++end;
        }
        if (end > start) {
            const char keep = out[end];
            out[end] = '\0';
            const bool exists = Exists(out);
            out[end] = keep;
            if (!exists && !MatchComponent(out, start, end)) {
                return false;
            }
        }
        start = end + 1;
    }
    return Exists(out);
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
