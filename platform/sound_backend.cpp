#include "platform/sound_backend.h"

#include <cstdio>

namespace {

// ---- the quiet backend: every call succeeds and nothing is heard ----
// It still keeps the start/close order and asks that a sample file can be opened, so the game's
// messages come out the same as with real sound.
constexpr int kQuietSamples = 16;

bool QuietStarted = false;
int QuietSampleCount = 0;
int QuietError = kSoundOk;
int QuietNextChannel = 0;
int QuietChannels = 0;

bool QuietStart(int mixRate, int channels) {
    if (QuietStarted) {
        QuietError = kSoundErrAlreadyStarted;
        return false;
    }
    if (mixRate <= 0 || channels <= 0) {
        QuietError = kSoundErrInvalidParam;
        return false;
    }
    QuietStarted = true;
    QuietChannels = channels;
    QuietNextChannel = 0;
    QuietError = kSoundOk;
    return true;
}

int QuietLoadSample(const char* path) {
    if (!QuietStarted) {
        QuietError = kSoundErrNotStarted;
        return 0;
    }
    FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        QuietError = kSoundErrFileNotFound;
        return 0;
    }
    std::fclose(file);
    if (QuietSampleCount >= kQuietSamples) {
        QuietError = kSoundErrMemory;
        return 0;
    }
    QuietError = kSoundOk;
    return ++QuietSampleCount;
}

int QuietPlay(int sample) {
    if (!QuietStarted || sample <= 0 || sample > QuietSampleCount) {
        QuietError = QuietStarted ? kSoundErrPlay : kSoundErrNotStarted;
        return -1;
    }
    // Channels taken in turn, as if every earlier shot were still playing.
    const int channel = QuietNextChannel;
    QuietNextChannel = (QuietNextChannel + 1) % QuietChannels;
    return channel;
}

void QuietStop(int) {}

void QuietClose() {
    QuietStarted = false;
    QuietSampleCount = 0;
}

int QuietLastError() {
    return QuietError;
}

const tSoundBackend QuietBackend = {
    .name = "quiet",
    .start = QuietStart,
    .loadSample = QuietLoadSample,
    .play = QuietPlay,
    .stop = QuietStop,
    .close = QuietClose,
    .lastError = QuietLastError,
};

// The selected backend; the first call picks SDL2_mixer when nothing else was selected, so the
// game needs no set-up call and tests can swap it before any sound is made.
const tSoundBackend* Backend = nullptr;

const tSoundBackend* Current() {
    if (Backend == nullptr) {
        Backend = SdlMixerSound();
    }
    return Backend;
}

} // namespace

const tSoundBackend* QuietSound() {
    return &QuietBackend;
}

void SelectSoundBackend(const tSoundBackend* backend) {
    Backend = backend;
}

namespace {
int Volume = 100;
}

void SetSoundVolume(int percent) {
    Volume = percent < 0 ? 0 : percent > 100 ? 100 : percent;
}

int SoundVolume() {
    return Volume;
}

bool SoundStart(int mixRate, int channels) {
    return Current()->start(mixRate, channels);
}
int SoundLoadSample(const char* path) {
    return Current()->loadSample(path);
}
int SoundPlay(int sample) {
    return Current()->play(sample);
}
void SoundStop(int channel) {
    Current()->stop(channel);
}
void SoundClose() {
    Current()->close();
}
int SoundLastError() {
    return Current()->lastError();
}
