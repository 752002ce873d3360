// The world's rules, run once per frame: enemies, letters and the end of the mission.
#pragma once

// Camera and movement, the enemy passes and the letter pickup.
void UpdateWorld();
// The victory and defeat boxes, then the quit request.
void CheckMissionEnd();
