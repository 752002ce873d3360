// What the fuzz targets share: the test backend instead of SDL, so a reader's message boxes are
// recorded instead of shown or printed, and a record that is emptied after every input so memory
// stays flat over millions of runs.
#pragma once

#include "platform/platform.h"
#include "platform/platform_test.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// Selects the test backend; message boxes from now on only land in its record.
inline void QuietDialogs() {
    SetDialogsToStderr(false);
    ResetTestPlatform();
}

// Forgets the boxes of the last input.
inline void ForgetBoxes() {
    TestPlatformState().boxes.clear();
    TestPlatformState().boxes.shrink_to_fit();
}

// A fresh directory of this process under $TMPDIR (or /tmp), made the working directory, so a
// reader that looks for files by name finds only what the target puts there.
inline std::string EnterScratchDir(const char* name) {
    const char* tmp = std::getenv("TMPDIR");
    const std::filesystem::path dir = std::filesystem::path(tmp != nullptr ? tmp : "/tmp") /
                                      (std::string(name) + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    return dir.string();
}
