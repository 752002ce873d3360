// A game controller through the real SDL backend, on SDL's virtual joystick: the left stick
// walks and steps, the right stick looks, A and the right trigger fire, Back quits, and the pad
// can be unplugged and plugged in again while the game runs.
#include "state/game_state.h"
#include "platform/platform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

// Every event waiting, in the game's terms.
std::vector<tEvent> Drain() {
    std::vector<tEvent> events;
    tEvent event{};
    while (PollEvent(&event)) {
        events.push_back(event);
    }
    return events;
}

int Count(const std::vector<tEvent>& events, tEventKind kind, int key = 0) {
    int n = 0;
    for (const tEvent& e : events) {
        n += e.kind == kind && (kind != kEventKeyDown || e.key == key) ? 1 : 0;
    }
    return n;
}

} // namespace

TEST(Controller, VirtualPadWalksLooksFiresQuitsAndHotPlugs) {
    ResetGameState();
    SelectPlatform(SdlPlatform());
    // The hidden test window never has the keyboard focus, and SDL holds a pad's input back from
    // an application without it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_TRUE(CreateMainWindow("Ostravel", 320, 240, false, 32, 32)) << "no offscreen video";
    for (int round = 0; round < 2; ++round) { // plugged in, unplugged, plugged in again
        const int device =
            SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
        ASSERT_GE(device, 0) << SDL_GetError();
        SDL_Joystick* pad = SDL_JoystickOpen(device);
        ASSERT_NE(pad, nullptr) << SDL_GetError();
        Drain();
        const auto axis = [&](SDL_GameControllerAxis which, int value) {
            SDL_JoystickSetVirtualAxis(pad, which, static_cast<Sint16>(value));
            return Drain();
        };
        const auto button = [&](SDL_GameControllerButton which, bool down) {
            SDL_JoystickSetVirtualButton(pad, which, down ? 1 : 0);
            return Drain();
        };

        // Left stick: forward walks (W and Up alike), a touch inside the dead zone does nothing,
        // right steps right.
        axis(SDL_CONTROLLER_AXIS_LEFTY, -32767);
        EXPECT_TRUE(IsKeyDown(kKeyW)) << round;
        EXPECT_TRUE(IsKeyDown(kKeyUp));
        EXPECT_FALSE(IsKeyDown(kKeyS));
        axis(SDL_CONTROLLER_AXIS_LEFTY, 3000);
        EXPECT_FALSE(IsKeyDown(kKeyW));
        EXPECT_FALSE(IsKeyDown(kKeyS));
        axis(SDL_CONTROLLER_AXIS_LEFTY, 32767);
        EXPECT_TRUE(IsKeyDown(kKeyS));
        axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
        // Sideways from the dead zone's edge (8000) on, either way, and nothing inside it.
        const struct {
            int x;
            bool left, right;
        } kSideways[] = {{-8000, true, false}, {3000, false, false}, {8000, false, true}};
        for (const auto& c : kSideways) {
            axis(SDL_CONTROLLER_AXIS_LEFTX, c.x);
            EXPECT_EQ(IsKeyDown(kKeyA), c.left) << c.x;
            EXPECT_EQ(IsKeyDown(kKeyLeft), c.left) << c.x;
            EXPECT_EQ(IsKeyDown(kKeyD), c.right) << c.x;
        }
        axis(SDL_CONTROLLER_AXIS_LEFTX, 0);

        // Right stick: the cursor read moves on from the centre with time, right and up.
        SetCursorPos(160, 120);
        axis(SDL_CONTROLLER_AXIS_RIGHTX, 32767);
        axis(SDL_CONTROLLER_AXIS_RIGHTY, -32767);
        int x = 0, y = 0;
        GetCursorPos(&x, &y);
        SetCursorPos(160, 120);
        SDL_Delay(50);
        GetCursorPos(&x, &y);
        EXPECT_GE(x - 160, 30) << "50 ms at full tilt right";
        EXPECT_LE(y - 120, -30) << "50 ms at full tilt up";
        axis(SDL_CONTROLLER_AXIS_RIGHTX, 0);
        axis(SDL_CONTROLLER_AXIS_RIGHTY, 0);
        SetCursorPos(160, 120);
        SDL_Delay(20);
        GetCursorPos(&x, &y);
        EXPECT_EQ(x, 160);
        EXPECT_EQ(y, 120);

        // A fires once per press; the trigger once per pull; Back is Escape. (A virtual axis
        // spans -32768 ... 32767 where a trigger reads 0 ... 32767: -32768 is let go.)
        EXPECT_EQ(Count(button(SDL_CONTROLLER_BUTTON_A, true), kEventLeftButton), 1);
        EXPECT_EQ(Count(button(SDL_CONTROLLER_BUTTON_A, false), kEventLeftButton), 0);
        EXPECT_EQ(Count(axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767), kEventLeftButton), 1);
        EXPECT_EQ(Count(axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 20000), kEventLeftButton), 0);
        EXPECT_EQ(Count(axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767), kEventLeftButton), 0)
            << "eased off but not let go: no second shot";
        EXPECT_EQ(Count(axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768), kEventLeftButton), 0);
        EXPECT_EQ(Count(axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 30000), kEventLeftButton), 1);
        axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
        EXPECT_EQ(Count(button(SDL_CONTROLLER_BUTTON_BACK, true), kEventKeyDown, kKeyEscape), 1);
        button(SDL_CONTROLLER_BUTTON_BACK, false);

        // Unplugged with the stick held forward: the game stops walking.
        axis(SDL_CONTROLLER_AXIS_LEFTY, -32767);
        EXPECT_TRUE(IsKeyDown(kKeyW));
        SDL_JoystickClose(pad);
        ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0) << SDL_GetError();
        Drain();
        EXPECT_FALSE(IsKeyDown(kKeyW)) << round;
    }
    ShutdownPlatform();
}
