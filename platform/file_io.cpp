#include "platform/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <unistd.h>

bool CheckReadableFile(const char* path, char* reason, size_t size) {
    int error = 0;
    // Opened, not only looked at, so that a file the player may not read is refused here too;
    // O_NONBLOCK keeps a pipe from holding the game up before it is refused.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) {
        error = errno;
    } else if (S_ISDIR(info.st_mode)) {
        error = EISDIR;
    } else if (!S_ISREG(info.st_mode)) {
        error = EINVAL;
    }
    if (fd >= 0) {
        close(fd);
    }
    if (error != 0 && size > 0) {
        std::snprintf(reason, size, "%s",
                      error == EINVAL ? "not a regular file" : std::strerror(error));
    }
    errno = error;
    return error == 0;
}

bool CheckWritableFile(const char* path, char* reason, size_t size) {
    int error = 0;
    struct stat info;
    if (stat(path, &info) == 0) {
        error = S_ISDIR(info.st_mode) ? EISDIR : access(path, W_OK) != 0 ? errno : 0;
    } else if (errno != ENOENT) {
        error = errno;
    } else {
        // A new file: its directory must be there and take it.
        char dir[4096];
        const char* slash = std::strrchr(path, '/');
        const size_t length = slash == nullptr ? 0
                              : slash == path  ? 1
                                               : static_cast<size_t>(slash - path);
        std::snprintf(dir, sizeof(dir), "%.*s", static_cast<int>(length), path);
        error = access(length == 0 ? "." : dir, W_OK | X_OK) != 0 ? errno : 0;
    }
    if (error != 0 && size > 0) {
        std::snprintf(reason, size, "%s", std::strerror(error));
    }
    errno = error;
    return error == 0;
}

bool IsRegularFile(FILE* file) {
    struct stat info;
    return fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
}

long WrittenLength(FILE* file) {
    if (std::fflush(file) != 0) {
        return -1;
    }
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        return -1;
    }
    return static_cast<long>(info.st_size);
}

bool CutFileBack(FILE* file, long length) {
    if (length < 0) {
        return false;
    }
    // What stdio still holds would land after the cut when the file is closed; it goes with the
    // failed write.
    __fpurge(file);
    return ftruncate(fileno(file), static_cast<off_t>(length)) == 0;
}
