#include "replay/capture.h"

#include "replay/kept_files.h"
#include "state/game_state.h"
#include "state/options.h"
#include "platform/file_io.h"
#include "platform/gl_api.h"
#include "platform/platform.h"
#include "platform/user_dirs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
// The browser build has no PNG library: its screenshots are the page's, from the canvas.
#if __has_include(<png.h>)
#include <png.h>
#define OSTRAVEL_HAS_PNG 1
#endif
#include <strings.h>
#include <vector>

uint32_t CurrentFrame = 0;

namespace {

bool ScreenshotWanted = false;
constexpr uint32_t kScreenshotNoteMs = 2500;
// Names tried for screenshots taken within one second.
constexpr int kScreenshotsPerSecond = 99;

// The back buffer, bottom row first; rows padded to rowBytes (a multiple of 4). Captures are
// rare (a test or a screenshot), so the buffer is made for the occasion.
std::vector<unsigned char> ReadBackBuffer(int width, int height, GLenum format, int* rowBytes) {
    *rowBytes = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(*rowBytes) * static_cast<size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, format, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

bool WritePng(FILE* file, int width, int height) {
#ifndef OSTRAVEL_HAS_PNG
    (void)file;
    (void)width;
    (void)height;
    return false;
#else
    int rowBytes = 0;
    const std::vector<unsigned char> pixels = ReadBackBuffer(width, height, GL_RGB, &rowBytes);
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(width);
    png.height = static_cast<png_uint_32>(height);
    png.format = PNG_FORMAT_RGB;
    // A negative stride: PNG stores the top row first, GL gives the bottom row first.
    const bool ok = png_image_write_to_stdio(&png, file, 0, pixels.data(), -rowBytes, nullptr);
    png_image_free(&png);
    return ok;
#endif
}

bool EndsWithPng(const char* path) {
    const size_t length = std::strlen(path);
    return length >= 4 && strcasecmp(path + length - 4, ".png") == 0;
}

void TakeScreenshot() {
    char path[4096];
    const bool saved = SaveScreenshot(std::time(nullptr), path, sizeof(path));
    char shown[4096];
    ShortenHome(path, shown, sizeof(shown));
    char note[4200];
    std::snprintf(note, sizeof(note), "%s: %s", saved ? "Screenshot saved" : "Screenshot failed",
                  shown);
    ShowTitleNote(note, kScreenshotNoteMs);
    if (!saved) {
        ReportNotKept("screenshot failed: %s", path);
    }
}

// Flushes and closes the file at path, written with ok so far; true when every byte reached it,
// otherwise false with errno saying why, and the file removed: half a picture is none. A device
// named as the file (/dev/full) stays.
bool FinishFile(FILE* file, bool ok, const char* path) {
    int error = ok ? 0 : (errno != 0 ? errno : EIO);
    if (std::fflush(file) != 0 && error == 0) {
        error = errno;
    }
    if (std::ferror(file) && error == 0) {
        error = EIO;
    }
    const bool regular = IsRegularFile(file);
    if (std::fclose(file) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0 && regular) {
        std::remove(path);
    }
    errno = error;
    return error == 0;
}

void PutLe(unsigned char* p, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        p[i] = static_cast<unsigned char>(v >> (8 * i));
    }
}

} // namespace

bool SaveScreenshot(time_t when, char* savedPath, size_t size) {
    char dir[4096];
    if (!UserScreenshotDir(dir, sizeof(dir))) {
        std::snprintf(savedPath, size, "no home directory for screenshots");
        return false;
    }
    if (!MakeDirectories(dir)) {
        std::snprintf(savedPath, size, "cannot create %s: %s", dir, std::strerror(errno));
        return false;
    }
    tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", &local);
    for (int n = 1; n <= kScreenshotsPerSecond; ++n) {
        const int written =
            n == 1 ? std::snprintf(savedPath, size, "%s/ostravel-%s.png", dir, stamp)
                   : std::snprintf(savedPath, size, "%s/ostravel-%s-%d.png", dir, stamp, n);
        if (written < 0 || static_cast<size_t>(written) >= size) {
            return false;
        }
        // "x": made here or not at all, so an earlier screenshot is never overwritten.
        FILE* file = std::fopen(savedPath, "wbx");
        if (file == nullptr && errno == EEXIST) {
            continue;
        }
        const bool ok = file != nullptr && FinishFile(file,
                                                      WritePng(file, static_cast<int>(WindowWidth),
                                                               static_cast<int>(WindowHeight)),
                                                      savedPath);
        if (!ok) {
            const int error = errno;
            char tried[4096];
            std::snprintf(tried, sizeof(tried), "%s", savedPath);
            std::snprintf(savedPath, size, "cannot write %s: %s", tried, std::strerror(error));
        }
        return ok;
    }
    std::snprintf(savedPath, size, "cannot write %s: every name for this second is taken", dir);
    return false;
}

bool WriteFrame(const char* path, int width, int height) {
    if (!EndsWithPng(path)) {
        return WriteFrameBmp(path, width, height);
    }
    if (width <= 0 || height <= 0) {
        errno = EINVAL;
        return false;
    }
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    return FinishFile(file, WritePng(file, width, height), path);
}

bool WriteFrameBmp(const char* path, int width, int height) {
    if (width <= 0 || height <= 0) {
        errno = EINVAL;
        return false;
    }
    int rowBytes = 0;
    // Rows come bottom first, as a BMP stores them; BGR is the BMP's byte order.
    const std::vector<unsigned char> pixels = ReadBackBuffer(width, height, GL_BGR, &rowBytes);

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
    return FinishFile(file, ok, path);
}

void RequestScreenshot() {
    ScreenshotWanted = true;
}

void WriteRequestedFrames() {
    if (ScreenshotWanted && GLContext) {
        ScreenshotWanted = false;
        TakeScreenshot();
    }
    for (int i = 0; i < GameOptions.captureCount; ++i) {
        const tCaptureRequest& request = GameOptions.captures[i];
        if (request.frame == CurrentFrame && GLContext) {
            if (!WriteFrame(request.path, static_cast<int>(WindowWidth),
                            static_cast<int>(WindowHeight))) {
                ReportNotKept("cannot write the capture %s: %s", request.path,
                              std::strerror(errno));
            }
        }
    }
}

void ReportMissedCaptures() {
    for (int i = 0; i < GameOptions.captureCount; ++i) {
        const tCaptureRequest& request = GameOptions.captures[i];
        if (request.frame >= CurrentFrame) {
            ReportNotKept("the capture %s was not written: the game ended before frame %u",
                          request.path, request.frame);
        }
    }
}
