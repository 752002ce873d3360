// Key-frame animation and drawing of scene objects.
#pragma once

#include <cstdint>

// Tick count of the latest key-frame advance, shared by every model.
extern uint32_t LastAdvanceTime;

// Draws object id at its position, heading and scale, advancing its animation; true while the
// main model's animation is still moving.
bool DrawModel(int id);
