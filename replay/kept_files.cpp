#include "replay/kept_files.h"

#include "platform/file_io.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>

namespace {

// The whole run: set by the first failure, read when the game ends.
bool NotKept = false;

// Says the failure once, cuts the file back to its last whole commit and lets it go.
void GiveUp(tLineFile* lines, int error) {
    ReportNotKept("cannot write %s %s: %s", lines->what, lines->path,
                  std::strerror(error != 0 ? error : EIO));
    CutFileBack(lines->file, lines->committed);
    std::fclose(lines->file);
    lines->file = nullptr;
    lines->failed = true;
}

} // namespace

void ReportNotKept(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::fputs("Error: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
    NotKept = true;
}

bool SomethingNotKept() {
    return NotKept;
}

void ResetNotKept() {
    NotKept = false;
}

bool OpenLineFile(tLineFile* lines, const char* what, const char* path, const char* mode) {
    *lines = tLineFile{};
    lines->what = what;
    std::snprintf(lines->path, sizeof(lines->path), "%s", path);
    lines->file = std::fopen(path, mode);
    if (lines->file == nullptr) {
        return false;
    }
    // Where the game's own lines begin (the end of a trace appended to).
    lines->committed = WrittenLength(lines->file);
    return true;
}

bool LineFileOpen(const tLineFile& lines) {
    return lines.file != nullptr;
}

void AddLines(tLineFile* lines, const char* format, ...) {
    if (lines->file == nullptr) {
        return;
    }
    std::va_list args;
    va_start(args, format);
    // stdio writes its buffer out when it fills, so a failure can show here already; it is said
    // at the commit, with the frame's other lines.
    if (std::vfprintf(lines->file, format, args) < 0 && lines->error == 0) {
        lines->error = errno;
    }
    va_end(args);
}

bool CommitLines(tLineFile* lines) {
    if (lines->file == nullptr) {
        return !lines->failed;
    }
    // A write that failed inside stdio leaves its error flag set even where the flush then
    // finds nothing left to write.
    if (std::fflush(lines->file) != 0 && lines->error == 0) {
        lines->error = errno;
    }
    if (lines->error != 0 || std::ferror(lines->file)) {
        GiveUp(lines, lines->error);
        return false;
    }
    lines->committed = WrittenLength(lines->file);
    return true;
}

void CloseLineFile(tLineFile* lines) {
    if (lines->file == nullptr || !CommitLines(lines)) {
        return;
    }
    if (std::fclose(lines->file) != 0) {
        ReportNotKept("cannot write %s %s: %s", lines->what, lines->path, std::strerror(errno));
        lines->failed = true;
    }
    lines->file = nullptr;
}
