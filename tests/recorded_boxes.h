// Message boxes recorded by the test backend, without those of skins and maps that the test's
// small data files name but do not ship.
#pragma once

#include "platform/platform_test.h"

#include <string>
#include <vector>

inline std::vector<std::string> BoxesBesidesMissingBitmaps() {
    std::vector<std::string> texts;
    for (const tRecordedBox& box : TestPlatformState().boxes) {
        if (box.text != "Unable to load BMP File!") {
            texts.push_back(box.caption + ": " + box.text);
        }
    }
    return texts;
}
