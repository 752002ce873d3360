#include "platform/user_dirs.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

// $variable when it names an absolute path, otherwise $HOME/fallback.
bool BaseDir(const char* variable, const char* fallback, const char* tail, char* out, size_t size) {
    const char* base = std::getenv(variable);
    int written = -1;
    if (base != nullptr && base[0] == '/') {
        written = std::snprintf(out, size, "%s/%s", base, tail);
    } else {
        const char* home = std::getenv("HOME");
        if (home != nullptr && home[0] == '/') {
            written = std::snprintf(out, size, "%s/%s/%s", home, fallback, tail);
        }
    }
    if (written < 0 || static_cast<size_t>(written) >= size) {
        if (size > 0) {
            out[0] = '\0';
        }
        return false;
    }
    return true;
}

bool IsDirectory(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

bool UserSettingsPath(char* out, size_t size) {
    return BaseDir("XDG_CONFIG_HOME", ".config", "ostravel/Setup.ini", out, size);
}

bool UserConfigPath(char* out, size_t size) {
    return BaseDir("XDG_CONFIG_HOME", ".config", "ostravel/ostravel.conf", out, size);
}

bool UserScreenshotDir(char* out, size_t size) {
    return BaseDir("XDG_DATA_HOME", ".local/share", "ostravel/screenshots", out, size);
}

bool MakeDirectories(const char* dir) {
    char path[4096];
    const size_t length = std::strlen(dir);
    if (length == 0 || length >= sizeof(path)) {
        return false;
    }
    std::memcpy(path, dir, length + 1);
    // Each parent in turn, then the directory itself.
    for (size_t i = 1; i <= length; ++i) {
        if (path[i] != '/' && path[i] != '\0') {
            continue;
        }
        const char kept = path[i];
        path[i] = '\0';
        if (mkdir(path, 0700) != 0 && errno != EEXIST) {
            return false;
        }
        path[i] = kept;
    }
    if (!IsDirectory(dir)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

void ShortenHome(const char* path, char* out, size_t size) {
    const char* home = std::getenv("HOME");
    const size_t homeLength = home != nullptr ? std::strlen(home) : 0;
    if (homeLength > 1 && std::strncmp(path, home, homeLength) == 0 && path[homeLength] == '/') {
        std::snprintf(out, size, "~%s", path + homeLength);
    } else {
        std::snprintf(out, size, "%s", path);
    }
}
