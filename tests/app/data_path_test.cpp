#include "app/platform/data_path.h"

#include <gtest/gtest.h>

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
