#include "world/world_rules.h"

void UpdateWorld() {}

void CheckMissionEnd() {}
