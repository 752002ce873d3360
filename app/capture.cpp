#include "app/capture.h"

#include "app/game_state.h"
#include "app/gl_api.h"
#include "app/options.h"
#include "app/platform.h"

#include <cstdio>
#include <vector>

uint32_t CurrentFrame = 0;

namespace {

bool ScreenshotWanted = false;
constexpr uint32_t kScreenshotNoteMs = 2500;

void TakeScreenshot() {
    char name[32];
    for (int n = 1; n <= 9999; ++n) {
        std::snprintf(name, sizeof(name), "ostravel-%04d.bmp", n);
        FILE* existing = std::fopen(name, "rb");
        if (existing == nullptr) {
            char note[64];
            if (WriteFrameBmp(name, static_cast<int>(WindowWidth),
                              static_cast<int>(WindowHeight))) {
                std::snprintf(note, sizeof(note), "Screenshot saved: %s", name);
            } else {
                std::snprintf(note, sizeof(note), "Screenshot failed: %s", name);
            }
            ShowTitleNote(note, kScreenshotNoteMs);
            return;
        }
        std::fclose(existing);
    }
    ShowTitleNote("Screenshot failed: no free name", kScreenshotNoteMs);
}

void PutLe(unsigned char* p, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        p[i] = static_cast<unsigned char>(v >> (8 * i));
    }
}

} // namespace

bool WriteFrameBmp(const char* path, int width, int height) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    const int rowBytes = (width * 3 + 3) & ~3;
    // Captures are rare (a test or a screenshot), so the buffer is made for the occasion.
    std::vector<unsigned char> pixels(static_cast<size_t>(rowBytes) * static_cast<size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    // Rows come bottom first, as a BMP stores them; BGR is the BMP's byte order.
    glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, pixels.data());

    unsigned char header[54] = {'B', 'M'};
    const uint32_t imageSize = static_cast<uint32_t>(pixels.size());
    PutLe(header + 2, 54 + imageSize, 4);
    PutLe(header + 10, 54, 4);
    PutLe(header + 14, 40, 4);
    PutLe(header + 18, static_cast<uint32_t>(width), 4);
    PutLe(header + 22, static_cast<uint32_t>(height), 4);
    PutLe(header + 26, 1, 2);
    PutLe(header + 28, 24, 2);
    PutLe(header + 34, imageSize, 4);
    PutLe(header + 38, 2835, 4);
    PutLe(header + 42, 2835, 4);

    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(header, 1, sizeof(header), file) == sizeof(header) &&
                    std::fwrite(pixels.data(), 1, pixels.size(), file) == pixels.size();
    return std::fclose(file) == 0 && ok;
}

void RequestScreenshot() {
    ScreenshotWanted = true;
}

void PresentFrame() {
    if (ScreenshotWanted && GLContext) {
        ScreenshotWanted = false;
        TakeScreenshot();
    }
    for (int i = 0; i < GameOptions.captureCount; ++i) {
        const tCaptureRequest& request = GameOptions.captures[i];
        if (request.frame == CurrentFrame && GLContext) {
            if (!WriteFrameBmp(request.path, static_cast<int>(WindowWidth),
                               static_cast<int>(WindowHeight))) {
                std::fprintf(stderr, "capture: cannot write %s\n", request.path);
            }
        }
    }
    SwapGLBuffers();
}
