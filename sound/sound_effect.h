// The one sound of the game: the shot.
#pragma once

// Starts the sound output and loads the sample; false when either fails.
bool InitSound(const char* fileName);
// Loads the sample file (InitSound calls it).
bool LoadSample(const char* fileName);
// Plays the loaded sample once.
void PlaySample();
// Writes the sound library's last error as a line to standard output.
void PrintSoundError();
