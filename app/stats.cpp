#include "app/stats.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <sys/resource.h>

namespace {

std::atomic<uint64_t> Allocations{0};

using tClock = std::chrono::steady_clock;
// Set while the program's statics are built, the nearest the game gets to its own start.
const tClock::time_point ProgramStart = tClock::now();

// Enough for about twenty minutes at 60 frames per second; later frames count but are not kept.
constexpr int kKeptFrames = 1 << 16;
float FrameMs[kKeptFrames];
float UpdateUs[kKeptFrames];
uint32_t Frames = 0;
double LoadMs = 0.0;
uint64_t FrameAllocations = 0;
uint64_t AllocationsAtFrameBegin = 0;
tClock::time_point FrameBegin;
tClock::time_point UpdateBegin;

double Percentile(float* values, uint32_t count, double share) {
    if (count == 0) {
        return 0.0;
    }
    std::sort(values, values + count);
    const uint32_t index = std::min<uint32_t>(count - 1, static_cast<uint32_t>(share * count));
    return values[index];
}

} // namespace

// Counting hook: every operator new of the program passes here. Sanitizer builds keep their own
// allocator, which checks that each delete matches its new; they count nothing.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OSTRAVEL_NO_ALLOCATION_HOOK 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define OSTRAVEL_NO_ALLOCATION_HOOK 1
#endif

#ifndef OSTRAVEL_NO_ALLOCATION_HOOK
void* operator new(std::size_t size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
#endif

uint64_t AllocationCount() {
    return Allocations.load(std::memory_order_relaxed);
}

void StatsFrameBegin() {
    FrameBegin = tClock::now();
    AllocationsAtFrameBegin = AllocationCount();
}

void StatsUpdateBegin() {
    UpdateBegin = tClock::now();
}

void StatsUpdateEnd() {
    if (Frames < kKeptFrames) {
        UpdateUs[Frames] =
            std::chrono::duration<float, std::micro>(tClock::now() - UpdateBegin).count();
    }
}

void StatsFrameEnd() {
    const tClock::time_point end = tClock::now();
    FrameAllocations += AllocationCount() - AllocationsAtFrameBegin;
    if (Frames == 0) {
        LoadMs = std::chrono::duration<double, std::milli>(end - ProgramStart).count();
    }
    if (Frames < kKeptFrames) {
        FrameMs[Frames] = std::chrono::duration<float, std::milli>(end - FrameBegin).count();
    }
    ++Frames;
}

void PrintStats() {
    const uint32_t kept = std::min<uint32_t>(Frames, kKeptFrames);
    const double perFrame = Frames > 0 ? static_cast<double>(FrameAllocations) / Frames : 0.0;
    const double updateMedian = Percentile(UpdateUs, kept, 0.5);
    const double median = Percentile(FrameMs, kept, 0.5);
    const double p95 = Percentile(FrameMs, kept, 0.95);
    const double max = kept > 0 ? FrameMs[kept - 1] : 0.0;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("stats frames=%u load_ms=%.1f frame_ms_median=%.3f frame_ms_p95=%.3f "
                "frame_ms_max=%.3f update_us_median=%.1f allocs_per_frame=%.3f "
                "peak_rss_mb=%.1f\n",
                Frames, LoadMs, median, p95, max, updateMedian, perFrame,
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    std::fflush(stdout);
}
