// The one sound of the game: the shot.
//
// Progress and the sound output's errors are written as lines to standard output; the window
// shows nothing of them. The output itself sits behind platform/sound_backend.h.
#pragma once

constexpr int kSoundMixRate = 44100; // Hz
constexpr int kSoundChannels = 32;   // software channels: shots overlap up to this many
constexpr int kSampleNameSize = 256;

// ---- whole run: the loaded sample and its last playback ----
struct tSoundEffect {
    int sample;                       // backend sample handle; 0 until one is loaded
    char sampleName[kSampleNameSize]; // the file name of the loaded sample
    int channel;                      // channel of the last playback; 0 at start
};
extern tSoundEffect SoundEffect;

// Starts the sound output and loads the sample; false when either fails.
bool InitSound(const char* fileName);
// Loads the sample file (InitSound calls it).
bool LoadSample(const char* fileName);
// Plays the loaded sample once.
void PlaySample();
// Writes the sound library's last error as a line to standard output.
void PrintSoundError();
// The text of a sound error code; "Unknown error" for codes outside the table.
const char* SoundErrorName(int code);
// Stops the last playback and closes the output: a step of the game's shutdown sequence, also
// after a failed InitSound (whatever it opened). Harmless when nothing runs; InitSound may follow.
void ShutdownSound();
