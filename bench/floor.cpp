// The floor of a frame: the game's window and GL context, cleared and presented, nothing else.
// bench/run.sh compares the game's frame time with this one on the same machine and window.
#include "app/display.h"
#include "state/game_state.h"
#include "platform/gl_api.h"
#include "platform/platform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    // The window size defaults to the game's own default, 800 x 600.
    const int frames = argc > 1 ? std::atoi(argv[1]) : 600;
    const int width = argc > 3 ? std::atoi(argv[2]) : 800;
    const int height = argc > 3 ? std::atoi(argv[3]) : 600;
    if (frames <= 0 || width <= 0 || height <= 0 || argc == 3) {
        std::fprintf(stderr, "usage: ostravel_floor [FRAMES [WIDTH HEIGHT]]\n");
        return 2;
    }
    SelectPlatform(SdlPlatform());
    WindowWidth = static_cast<uint32_t>(width);
    WindowHeight = static_cast<uint32_t>(height);
    ColorBits = 32;
    FullScreen = false;
    if (!CreateMainWindow("Ostravel", WindowWidth, WindowHeight, false, 32, 32)) {
        return 1;
    }
    MainWindow = true;
    ShowMainWindow();
    SetNoVsync(true);
    CreateGLContext(static_cast<int>(WindowWidth), static_cast<int>(WindowHeight));
    // Without a context the loop would time calls that draw nothing.
    if (!GLContext) {
        ShutdownPlatform();
        return 1;
    }

    std::vector<double> ms(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        const auto begin = std::chrono::steady_clock::now();
        tEvent event;
        while (PollEvent(&event)) {
        }
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFlush();
        SwapGLBuffers();
        ms[static_cast<size_t>(i)] =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                .count();
    }
    std::sort(ms.begin(), ms.end());
    std::printf("floor frames=%d size=%dx%d frame_ms_median=%.3f frame_ms_p95=%.3f\n", frames,
                width, height, ms[ms.size() / 2],
                ms[std::min(ms.size() - 1, ms.size() * 95 / 100)]);
    ReleaseContext();
    DeleteContext();
    ShutdownPlatform();
    return 0;
}
