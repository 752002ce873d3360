// A test that cannot run because a tool or a package is missing skips on a developer's machine
// and fails under CI (CI=true), naming the package to install: on CI nothing skips quietly.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

inline bool RunningUnderCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::strcmp(ci, "true") == 0;
}

// Use as a statement in the test body: it returns from the test.
#define SKIP_OR_FAIL_MISSING(what, package)                                                        \
    do {                                                                                           \
        if (RunningUnderCi()) {                                                                    \
            FAIL() << what << " (install " << package << ")";                                      \
        }                                                                                          \
        GTEST_SKIP() << what << " (install " << package << ")";                                    \
    } while (false)
