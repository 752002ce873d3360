// The files the player asks the game to keep: the recording, the trace, captures and
// screenshots. A write that fails (a full disk, a device that takes nothing) is said once on
// standard error, naming the file and the system's reason; the game plays on without that file,
// and its exit code says at the end that something was not kept.
#pragma once

#include <cstddef>
#include <cstdio>

// Writes "Error: " and the formatted text on standard error and remembers that something the
// player asked for was not kept.
void ReportNotKept(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Whether anything was reported since the last reset (the exit code's question).
bool SomethingNotKept();
void ResetNotKept();

// A file of whole lines written as the game goes (the trace, a recording). Lines are buffered
// and committed together, once a frame; a commit that fails is reported, the file is cut back to
// the end of the last commit, so that it holds whole lines only, and nothing more is written to
// it.
struct tLineFile {
    FILE* file = nullptr;
    const char* what = ""; // in messages: "the trace", "the recording"
    char path[512] = {};
    long committed = -1; // the file's length after the last commit; -1 where unknown
    int error = 0;       // the first write's failure, reported at the commit
    bool failed = false; // reported; nothing more is written
};

// Opens path with the stdio mode; false (the file stays closed) with errno set when it cannot.
bool OpenLineFile(tLineFile* lines, const char* what, const char* path, const char* mode);
bool LineFileOpen(const tLineFile& lines);
// Adds formatted text to the lines not yet committed.
void AddLines(tLineFile* lines, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Writes the lines added since the last commit through to the file; false on failure (said).
bool CommitLines(tLineFile* lines);
// Commits and closes; a failure is said as at a commit.
void CloseLineFile(tLineFile* lines);
