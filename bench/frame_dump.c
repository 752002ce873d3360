/* Every frame of a run, byte for byte: preloaded into the game by bench/run.sh when
 * BENCH_CAPTURE is set, it reads the back buffer just before each buffer swap and appends it
 * (RGBA rows, bottom row first) to the file named by BENCH_FRAMES_FILE. Two builds that draw the
 * same pictures write the same file, which cmp compares. The game itself is not changed; only
 * its swaps are watched. */
#define _GNU_SOURCE
#include <GL/gl.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

typedef struct SDL_Window SDL_Window;
typedef void (*SwapProc)(SDL_Window*);

static FILE* Frames;
static unsigned char* Pixels;
static size_t PixelBytes;

void SDL_GL_SwapWindow(SDL_Window* window) {
    static SwapProc realSwap;
    if (realSwap == NULL) {
        realSwap = (SwapProc)dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
        const char* path = getenv("BENCH_FRAMES_FILE");
        Frames = path != NULL ? fopen(path, "wb") : NULL;
    }
    GLint view[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, view);
    const size_t bytes = (size_t)view[2] * (size_t)view[3] * 4;
    if (Frames != NULL && bytes > 0) {
        if (bytes > PixelBytes) {
            /* Once, or when the window grows: never in the frames being compared. */
            free(Pixels);
            Pixels = malloc(bytes);
            PixelBytes = Pixels != NULL ? bytes : 0;
        }
        if (Pixels != NULL) {
            GLint pack = 4;
            glGetIntegerv(GL_PACK_ALIGNMENT, &pack);
            glPixelStorei(GL_PACK_ALIGNMENT, 4);
            glReadPixels(view[0], view[1], view[2], view[3], GL_RGBA, GL_UNSIGNED_BYTE, Pixels);
            glPixelStorei(GL_PACK_ALIGNMENT, pack);
            fwrite(Pixels, 1, bytes, Frames);
            fflush(Frames);
        }
    }
    realSwap(window);
}
