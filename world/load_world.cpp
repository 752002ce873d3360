#include "world/load_world.h"

#include "app/display.h"
#include "app/game_state.h"
#include "app/platform.h"

#include <cstdlib>

void LoadWorld() {
    std::srand(TimeMs());
    BloodActive = false;
    CreateGLContext(static_cast<int>(WindowWidth), static_cast<int>(WindowHeight));
    SetCursorVisible(false);
}
