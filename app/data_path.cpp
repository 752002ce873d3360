#include "app/data_path.h"

#include <cstring>
#include <dirent.h>
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
