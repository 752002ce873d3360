// The sound output behind the game's shot sound: start the mixer, load a sample, play it on a
// free channel, stop a channel, shut down, and tell the last error. Two backends fill it:
// SDL2_mixer (the real game) and a quiet one whose calls succeed and make no sound (tests, or a
// build without sound). The sound code calls the free functions below and never asks which backend
// runs.
//
// Errors are reported as the codes of the game's sound error table (sound/sound_effect.h turns
// them into text), whatever the backend's own reasons are.
#pragma once

// The error codes the backends report.
enum tSoundError {
    kSoundOk = 0,
    kSoundErrAlreadyStarted = 1, // started twice without a shutdown
    kSoundErrNotStarted = 2,     // a call before the start
    kSoundErrInit = 3,           // the output device could not be opened
    kSoundErrPlay = 5,           // playing failed (no sample)
    kSoundErrFileNotFound = 9,
    kSoundErrFileFormat = 10, // the file opens but is no sound the mixer can read
    kSoundErrFileLoad = 11,   // the file could not be read
    kSoundErrMemory = 12,
    kSoundErrInvalidParam = 14,
    kSoundErrChannelAlloc = 17, // every channel is busy
};

// The backend's side. Sample handles are positive; 0 means none. Channels are 0 or more; -1 none.
struct tSoundBackend {
    const char* name;
    bool (*start)(int mixRate, int channels);
    int (*loadSample)(const char* path);
    int (*play)(int sample);
    void (*stop)(int channel);
    // Stops everything, frees the samples and closes the output; harmless when not started.
    void (*close)();
    int (*lastError)();
};

const tSoundBackend* SdlMixerSound();
const tSoundBackend* QuietSound();
// The SDL2_mixer backend until another is selected.
void SelectSoundBackend(const tSoundBackend* backend);

// The player's volume, 0 ... 100 (100, the default, plays samples as they are).
void SetSoundVolume(int percent);
int SoundVolume();

bool SoundStart(int mixRate, int channels);
int SoundLoadSample(const char* path);
int SoundPlay(int sample);
void SoundStop(int channel);
void SoundClose();
int SoundLastError();
