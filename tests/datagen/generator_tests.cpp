// The generator as a whole: repeatable output, the small files.
#include "test_data.h"

#include "datagen.h"

#include <gtest/gtest.h>

using namespace dgtest;
namespace fs = std::filesystem;

namespace {

TEST(Generator, TwoRunsGiveIdenticalBytes) {
    // A fresh run must reproduce, byte for byte, every file of the data the
    // tests read (the build's Data/ or an earlier run).
    const std::string first = DataDir();
    const std::string second = GenerateInto("again");
    ASSERT_FALSE(second.empty());
    int files = 0;
    for (const auto& e : fs::recursive_directory_iterator(second + "/Data")) {
        if (!e.is_regular_file())
            continue;
        const std::string rel = fs::relative(e.path(), second + "/Data").string();
        EXPECT_TRUE(ReadBytes(e.path().string()) == ReadBytes(first + "/" + rel)) << rel;
        ++files;
    }
    EXPECT_GT(files, 40);
    fs::remove_all(second);
}

TEST(Generator, ReportsFilesItCannotWrite) {
    dg::Output out;
    out.dataDir = "/proc/ostravel-no-such-dir/Data";
    dg::GenerateSettings(out);
    dg::GenerateEffects(out);
    ASSERT_EQ(out.failures.size(), 4u);
    EXPECT_NE(out.failures[0].find("Setup.ini"), std::string::npos);
}

TEST(Generator, SettingsAndShotSound) {
    std::vector<uint8_t> ini = ReadBytes(DataDir() + "/Setup.ini");
    EXPECT_EQ(std::string(ini.begin(), ini.end()), "800 600 32\n");
    std::vector<uint8_t> w = ReadBytes(DataDir() + "/Sounds/Shot.wav");
    ASSERT_GT(w.size(), 44u);
    EXPECT_EQ(std::string(w.begin(), w.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(w.begin() + 8, w.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(I16(w, 20), 1);     // PCM
    EXPECT_EQ(I32(w, 24), 44100); // rate
    EXPECT_EQ(I16(w, 34), 16);    // bits
    const int channels = I16(w, 22);
    const size_t samples = static_cast<size_t>(I32(w, 40)) / 2 / channels;
    EXPECT_EQ(44u + I32(w, 40), w.size());
    EXPECT_LT(samples, 44100u) << "under one second";
    int peak = 0, first = 0;
    for (size_t i = 0; i < samples * channels; ++i) {
        int v = std::abs(I16(w, 44 + 2 * i));
        peak = std::max(peak, v);
        if (i < 4410)
            first = std::max(first, v);
    }
    EXPECT_GT(peak, 20000) << "loud";
    EXPECT_LT(peak, 32767) << "not clipped";
    EXPECT_EQ(first, peak) << "the bang comes first";
    EXPECT_LT(std::abs(I16(w, 44 + 2 * (samples * channels - 1))), 200) << "fades out";
}

} // namespace
