#include "sound/sound_effect.h"

#include "platform/data_path.h"
#include "platform/sound_backend.h"

#include <cstdio>
#include <cstring>

tSoundEffect SoundEffect = {};

namespace {

// Error texts by code, as players and bug reports have always seen them.
constexpr const char* kErrorNames[] = {
    "No errors",
    "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
    "This command failed because FSOUND_Init was not called",
    "Error initializing output device.",
    "The output device is already in use and cannot be reused.",
    "Playing the sound failed.",
    "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
    "Error setting cooperative level for hardware.",
    "Error creating hardware sound buffer.",
    "File not found",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "The version number of this file format is not supported",
    "An invalid parameter was passed to this function",
    "Tried to use an EAX command on a non EAX enabled channel or output.",
    "Tried to use an advanced EAX2 command on a non EAX2 enabled channel or output.",
    "Failed to allocate a new channel",
    "Recording not supported on this device",
    "Required Mediaplayer codec is not installed",
};
constexpr int kErrorCount = static_cast<int>(sizeof(kErrorNames) / sizeof(kErrorNames[0]));

// Whether InitSound got the output started, so the shutdown closes only what was opened.
bool Started = false;

} // namespace

const char* SoundErrorName(int code) {
    return code >= 0 && code < kErrorCount ? kErrorNames[code] : "Unknown error";
}

void PrintSoundError() {
    // Flushed at once: a failed start ends the game right after this line.
    std::printf("%s\n", SoundErrorName(SoundLastError()));
    std::fflush(stdout);
}

bool InitSound(const char* fileName) {
    if (!SoundStart(kSoundMixRate, kSoundChannels)) {
        PrintSoundError();
        return false;
    }
    Started = true;
    return LoadSample(fileName);
}

bool LoadSample(const char* fileName) {
    if (fileName == nullptr) {
        return false;
    }
    std::fputs("Loading the song...\n\n", stdout);
    std::fflush(stdout);
    // Data names use backslashes and may differ in case from the file on disk.
    char path[1024];
    ResolveDataPath(fileName, path, sizeof(path));
    SoundEffect.sample = SoundLoadSample(path);
    if (SoundEffect.sample == 0) {
        NameDataRootOnce();
        PrintSoundError();
        return false;
    }
    // Kept as asked (up to 255 characters), for messages and bug reports.
    std::snprintf(SoundEffect.sampleName, sizeof(SoundEffect.sampleName), "%s", fileName);
    return true;
}

void PlaySample() {
    // A failed playback is silent; earlier shots keep playing on their channels.
    SoundEffect.channel = SoundPlay(SoundEffect.sample);
}

void ShutdownSound() {
    if (!Started) {
        return;
    }
    Started = false;
    SoundStop(SoundEffect.channel);
    SoundClose();
    SoundEffect = {};
}
