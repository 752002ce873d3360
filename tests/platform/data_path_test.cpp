#include "platform/data_path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

TEST(DataPath, MapsSeparatorsAndFindsFilesWhateverTheirCase) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(testing::TempDir()) / "datapath";
    fs::remove_all(root);
    fs::create_directories(root / "Models" / "Soldier");
    std::ofstream(root / "Models" / "Soldier" / "Skin.bmp") << "x";

    char out[512];
    const std::string base = root.string();
    ASSERT_TRUE(ResolveDataPath((base + "\\Models\\Soldier\\Skin.bmp").c_str(), out, sizeof(out)));
    EXPECT_EQ(std::string(out), base + "/Models/Soldier/Skin.bmp");
    ASSERT_TRUE(ResolveDataPath((base + "/models/SOLDIER/skin.BMP").c_str(), out, sizeof(out)));
    EXPECT_EQ(std::string(out), base + "/Models/Soldier/Skin.bmp");

    EXPECT_FALSE(ResolveDataPath((base + "/models/soldier/none.bmp").c_str(), out, sizeof(out)));
    EXPECT_EQ(std::string(out).substr(base.size()), "/Models/Soldier/none.bmp");
    char small[8];
    EXPECT_FALSE(ResolveDataPath("Data/a/very/long/name.bmp", small, sizeof(small)));
    EXPECT_STREQ(small, "");
}

// Where the game's data is looked for, in order, and relative data names read from there with
// the data's own separators and case, whatever the working directory.
TEST(DataPath, FindsTheDataRootAndReadsFromItAwayFromTheWorkingDirectory) {
    namespace fs = std::filesystem;
    const fs::path scratch = fs::path(testing::TempDir()) / "dataroot";
    fs::remove_all(scratch);
    fs::create_directories(scratch / "installed" / "Data" / "Levels");
    fs::create_directories(scratch / "player" / "Data");
    fs::create_directories(scratch / "empty");
    std::ofstream(scratch / "installed" / "Data" / "Levels" / "Level01.olv") << "0 0 0 0\n";
    const std::string installed = (scratch / "installed").string();
    const std::string empty = (scratch / "empty").string();
    const fs::path before = fs::current_path();
    const std::string build = fs::canonical(OSTRAVEL_BUILD_DIR).string();
    const struct {
        const char* named;       // --data's DIR
        const char* environment; // OSTRAVEL_DATA
        const char* workingDir;  // under scratch
        tDataRootResult result;
        std::string root;
    } cases[] = {
        {installed.c_str(), empty.c_str(), "player", kDataRootFound, installed},
        {empty.c_str(), installed.c_str(), "player", kDataRootNamedLacksData, empty},
        {nullptr, installed.c_str(), "player", kDataRootFound, installed},
        {"", "", "player", kDataRootFound, ""},
        // Nothing named and no Data/ here: the one beside the test program, in the build tree.
        {nullptr, nullptr, "empty", kDataRootFound, build},
    };
    for (const auto& c : cases) {
        fs::current_path(scratch / c.workingDir);
        if (c.environment != nullptr) {
            setenv(kDataDirVariable, c.environment, 1);
        } else {
            unsetenv(kDataDirVariable);
        }
        char root[kDataDirBytes];
        EXPECT_EQ(FindDataRoot(c.named, root, sizeof(root)), c.result) << c.workingDir;
        EXPECT_EQ(std::string(root), c.root) << (c.named ? c.named : "(none)");
    }
    unsetenv(kDataDirVariable);

    // From the player's directory, data names resolve under the root; a missing one is named for
    // messages as the data names it, without the root.
    fs::current_path(scratch / "player");
    ASSERT_TRUE(SetDataDir(installed.c_str()));
    char out[kDataDirBytes];
    EXPECT_TRUE(ResolveDataPath("data\\LEVELS\\level01.olv", out, sizeof(out)));
    EXPECT_EQ(std::string(out), installed + "/Data/Levels/Level01.olv");
    EXPECT_FALSE(ResolveDataPath("Data\\Levels\\Level02.olv", out, sizeof(out)));
    EXPECT_STREQ(out, "Data/Levels/Level02.olv");
    SetDataDir("");
    fs::current_path(before);
}
