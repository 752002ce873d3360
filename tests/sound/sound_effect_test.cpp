// The shot sound over the real mixer (SDL's dummy audio driver in the tests) and over staged
// backend failures: the standard-output lines and the results the world loader acts on.
#include "platform/sound_backend.h"
#include "sound/sound_effect.h"
#include "tests/sound/wav_test_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string WriteFile(const std::string& relative, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path path = std::filesystem::path(testing::TempDir()) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

// What InitSound wrote to standard output, and its result.
std::string InitCaptured(const char* fileName, bool* result) {
    testing::internal::CaptureStdout();
    *result = InitSound(fileName);
    return testing::internal::GetCapturedStdout();
}

// A backend whose start fails with a chosen code.
int StagedError = 0;
bool FailStart(int, int) {
    return false;
}
int StagedLastError() {
    return StagedError;
}

} // namespace

TEST(SoundErrors, NamesByCode) {
    EXPECT_STREQ(SoundErrorName(0), "No errors");
    EXPECT_STREQ(SoundErrorName(3), "Error initializing output device.");
    EXPECT_STREQ(SoundErrorName(9), "File not found");
    EXPECT_STREQ(SoundErrorName(12), "Not enough memory ");
    EXPECT_STREQ(SoundErrorName(19), "Required Mediaplayer codec is not installed");
    EXPECT_STREQ(SoundErrorName(20), "Unknown error");
    EXPECT_STREQ(SoundErrorName(-1), "Unknown error");
}

TEST(SoundInit, MixerLoadsPlaysAndRefusesBadSamples) {
    SelectSoundBackend(SdlMixerSound());
    bool ok = true;

    // A missing sample: the loading line, a blank line, the error name.
    EXPECT_EQ(InitCaptured("Data\\Sounds\\NoSuchShot.wav", &ok),
              "Loading the song...\n\nFile not found\n");
    EXPECT_FALSE(ok);
    ShutdownSound();

    const std::string garbage =
        WriteFile("snd/Garbage.wav", {'R', 'I', 'F', 'F', 1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(InitCaptured(garbage.c_str(), &ok), "Loading the song...\n\nUnknown file format\n");
    EXPECT_FALSE(ok);
    ShutdownSound();
    const std::string empty = WriteFile("snd/Empty.wav", {});
    EXPECT_EQ(InitCaptured(empty.c_str(), &ok), "Loading the song...\n\nUnknown file format\n");
    EXPECT_FALSE(ok);
    ShutdownSound();

    // A good sample, asked for with backslashes and other case, as data names come.
    WriteFile("snd/Sounds/Shot.wav", MakeWav(22050));
    std::string asked = testing::TempDir() + "snd/sounds/SHOT.wav";
    for (char& c : asked) {
        c = c == '/' ? '\\' : c;
    }
    EXPECT_EQ(InitCaptured(asked.c_str(), &ok), "Loading the song...\n\n");
    ASSERT_TRUE(ok);
    EXPECT_NE(SoundEffect.sample, 0);
    EXPECT_EQ(std::string(SoundEffect.sampleName), asked);
    // Each shot takes a free channel; the first one is still playing (one second long).
    PlaySample();
    const int firstChannel = SoundEffect.channel;
    PlaySample();
    EXPECT_GE(firstChannel, 0);
    EXPECT_GE(SoundEffect.channel, 0);
    EXPECT_NE(SoundEffect.channel, firstChannel);

    // Starting twice without a shutdown is refused by name.
    testing::internal::CaptureStdout();
    EXPECT_FALSE(InitSound(asked.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.\n");
    ShutdownSound();
    EXPECT_EQ(SoundEffect.sample, 0);
    // After the shutdown a shot is silent and harmless.
    PlaySample();
    EXPECT_EQ(SoundEffect.channel, -1);

    // No name: nothing is written and nothing is loaded.
    testing::internal::CaptureStdout();
    EXPECT_FALSE(LoadSample(nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(SoundInit, StartFailuresPrintOnlyTheErrorName) {
    // Static: the selection outlives the test until the next one selects another backend.
    static const tSoundBackend failing = {
        .name = "failing",
        .start = FailStart,
        .loadSample = nullptr,
        .play = nullptr,
        .stop = nullptr,
        .close = [] {},
        .lastError = StagedLastError,
    };
    SelectSoundBackend(&failing);
    bool ok = true;
    StagedError = kSoundErrInit;
    EXPECT_EQ(InitCaptured("Data\\Sounds\\Shot.wav", &ok), "Error initializing output device.\n");
    EXPECT_FALSE(ok);
    StagedError = 42;
    EXPECT_EQ(InitCaptured("Data\\Sounds\\Shot.wav", &ok), "Unknown error\n");
    EXPECT_FALSE(ok);
    ShutdownSound(); // nothing was started: the failing backend's stop and close are not called

    // The quiet backend goes through the same steps without a device.
    SelectSoundBackend(QuietSound());
    const std::string shot = WriteFile("quiet/Shot.wav", MakeWav(10));
    EXPECT_EQ(InitCaptured(shot.c_str(), &ok), "Loading the song...\n\n");
    EXPECT_TRUE(ok);
    PlaySample();
    EXPECT_EQ(SoundEffect.channel, 0);
    ShutdownSound();
    EXPECT_EQ(InitCaptured("quiet/none.wav", &ok), "Loading the song...\n\nFile not found\n");
    EXPECT_FALSE(ok);
    ShutdownSound();
    SelectSoundBackend(SdlMixerSound());
}
