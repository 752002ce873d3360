// The route tool's player: each frame it reads the game as the last frame left it (camera,
// scene table, letters, health) and decides that frame's input, as input script lines.
#pragma once

#include <cstdint>
#include <string>

enum tPilotMode {
    kPilotVictory, // the letters in order, shooting every enemy within its firing range
    kPilotDefeat,  // to the largest group of enemies, then stand among them unarmed
};

struct tPilotSettings {
    tPilotMode mode = kPilotVictory;
    int clickEvery = 2;         // frames from one click to the next, at least
    float engageRange = 200.0f; // an enemy this close (horizontally) is shot at
};

struct tPilotCounts {
    int shots = 0;
    int replans = 0;
    int stuckFrames = 0;
};

void StartPilot(const tPilotSettings& settings);
// Appends the script lines of the given frame (each "FRAME ...\n") to lines.
void DecidePilotFrame(uint32_t frame, std::string& lines);
const tPilotCounts& PilotCounts();
