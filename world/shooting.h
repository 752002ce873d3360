// The player's shots.
#pragma once

// One press of the left button: the nearest living enemy on the line of sight is hit.
void FireShot();
