// The SDL2_mixer backend of the sound output: stereo 16-bit output at the asked rate, a fixed
// table of loaded samples, and the mixer's failures turned into the game's error codes.
#include "platform/sound_backend.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kMaxSamples = 16;
constexpr int kOutputChannels = 2; // stereo
constexpr int kChunkBytes = 1024;  // mixer buffer: about 6 ms at 44100 Hz

// ---- whole run: from the start to the shutdown ----
bool Started = false;
Mix_Chunk* Samples[kMaxSamples] = {};
int LastError = kSoundOk;

bool MixerStart(int mixRate, int channels) {
    if (Started) {
        LastError = kSoundErrAlreadyStarted;
        return false;
    }
    if (mixRate <= 0 || channels <= 0) {
        LastError = kSoundErrInvalidParam;
        return false;
    }
    // The audio subsystem is counted by SDL: the close below undoes exactly this start.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        LastError = kSoundErrInit;
        return false;
    }
    if (Mix_OpenAudio(mixRate, MIX_DEFAULT_FORMAT, kOutputChannels, kChunkBytes) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        LastError = kSoundErrInit;
        return false;
    }
    // Software mixing channels: each shot takes a free one, so shots overlap.
    Mix_AllocateChannels(channels);
    Started = true;
    LastError = kSoundOk;
    return true;
}

int MixerLoadSample(const char* path) {
    if (!Started) {
        LastError = kSoundErrNotStarted;
        return 0;
    }
    // Tell a missing file and an unreadable one from a file the mixer cannot decode.
    FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        LastError = kSoundErrFileNotFound;
        return 0;
    }
    unsigned char first = 0;
    const bool readable = std::fread(&first, 1, 1, file) == 1 || !std::ferror(file);
    std::fclose(file);
    if (!readable) {
        LastError = kSoundErrFileLoad;
        return 0;
    }
    int slot = 0;
    while (slot < kMaxSamples && Samples[slot] != nullptr) {
        ++slot;
    }
    if (slot == kMaxSamples) {
        LastError = kSoundErrMemory;
        return 0;
    }
    Mix_Chunk* chunk = Mix_LoadWAV(path);
    if (chunk == nullptr) {
        const char* reason = SDL_GetError();
        LastError = std::strstr(reason, "emory") != nullptr ? kSoundErrMemory : kSoundErrFileFormat;
        return 0;
    }
    // Handles are slot + 1, so 0 stays "no sample" as the game expects.
    Samples[slot] = chunk;
    LastError = kSoundOk;
    return slot + 1;
}

int MixerPlay(int sample) {
    if (!Started) {
        LastError = kSoundErrNotStarted;
        return -1;
    }
    if (sample <= 0 || sample > kMaxSamples || Samples[sample - 1] == nullptr) {
        LastError = kSoundErrPlay;
        return -1;
    }
    // -1: the first free channel; none free is the channel-allocation error.
    const int channel = Mix_PlayChannel(-1, Samples[sample - 1], 0);
    if (channel < 0) {
        LastError = kSoundErrChannelAlloc;
    } else if (SoundVolume() != 100) {
        Mix_Volume(channel, MIX_MAX_VOLUME * SoundVolume() / 100);
    }
    return channel;
}

void MixerStop(int channel) {
    // -1 would halt every channel; the game only stops the one it played last.
    if (Started && channel >= 0 && channel < Mix_AllocateChannels(-1)) {
        Mix_HaltChannel(channel);
    }
}

void MixerClose() {
    if (!Started) {
        return;
    }
    Started = false;
    // The game closes the sound before the platform shuts SDL down; should SDL have gone first
    // (audio with it), only the mixer's own memory is left, which the process's end returns.
    const bool audioUp = SDL_WasInit(SDL_INIT_AUDIO) != 0;
    if (audioUp) {
        Mix_HaltChannel(-1);
    }
    for (Mix_Chunk*& chunk : Samples) {
        if (chunk != nullptr && audioUp) {
            Mix_FreeChunk(chunk);
        }
        chunk = nullptr;
    }
    if (audioUp) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

int MixerLastError() {
    return LastError;
}

const tSoundBackend MixerBackend = {
    .name = "SDL2_mixer",
    .start = MixerStart,
    .loadSample = MixerLoadSample,
    .play = MixerPlay,
    .stop = MixerStop,
    .close = MixerClose,
    .lastError = MixerLastError,
};

} // namespace

const tSoundBackend* SdlMixerSound() {
    return &MixerBackend;
}
