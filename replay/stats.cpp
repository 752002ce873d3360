#include "replay/stats.h"

#include "render/overdraw.h"
#include "render/scaled_view.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/resource.h>

// Counting hook (below): every operator new of the program passes there. Sanitizer builds keep
// their own allocator, which checks that each delete matches its new; they count nothing.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OSTRAVEL_NO_ALLOCATION_HOOK 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define OSTRAVEL_NO_ALLOCATION_HOOK 1
#endif
// A C library without stack walks (the browser build's) cannot tell whose allocation it is.
#if !__has_include(<execinfo.h>)
#define OSTRAVEL_NO_ALLOCATION_HOOK 1
#endif
#ifndef OSTRAVEL_NO_ALLOCATION_HOOK
#include <dlfcn.h>
#include <execinfo.h>
#include <link.h>
#endif

namespace {

// Set once, by --stats before the game starts (or by a test); read on every allocation.
std::atomic<bool> Enabled{false};
std::atomic<uint64_t> Allocations{0};
// Those of them made during the frame stages by the game's own code (see CallerIsOurs).
std::atomic<uint64_t> GameAllocations{0};
// Set between StatsFrameBegin and StatsFrameEnd: only then is the caller of each allocation
// looked up, so loading pays nothing for it.
std::atomic<bool> InFrame{false};

using tClock = std::chrono::steady_clock;
// Set while the program's statics are built, the nearest the game gets to its own start.
const tClock::time_point ProgramStart = tClock::now();

// Enough for about twenty minutes at 60 frames per second; later frames count but are not kept.
constexpr int kKeptFrames = 1 << 16;
float FrameMs[kKeptFrames];
float UpdateUs[kKeptFrames];
uint32_t Frames = 0;
uint32_t KeptMs = 0; // frame times kept in FrameMs
double LoadMs = 0.0;
uint64_t FrameAllocations = 0;
uint64_t FrameDriverAllocations = 0;
uint64_t TotalAtFrameBegin = 0;
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

// Whose code asked for memory, by the loaded objects of the calls on the stack: the program
// itself, the C and C++ runtimes (which serve anyone), or anything else, which during a frame is
// the GL driver (Mesa's llvmpipe compiles its shaders with LLVM, a C++ library
// whose allocations pass this hook too, the first time each drawing state is met).
#ifndef OSTRAVEL_NO_ALLOCATION_HOOK
enum tObjectKind : uint8_t { kObjectOurs, kObjectRuntime, kObjectOther };
struct tObjectEntry {
    const char* from; // the object's mapping, as the dynamic loader keeps it
    const char* to;
    tObjectKind kind;
};
constexpr int kObjectEntries = 32;
tObjectEntry ObjectKinds[kObjectEntries];
int ObjectKindCount = 0;
std::atomic<bool> Classifying{false};

// The loader's own fast lookup (no symbol search), then a cache of the objects met so far.
tObjectKind KindOf(const void* address) {
    const char* a = static_cast<const char*>(address);
    for (int i = 0; i < ObjectKindCount; ++i) {
        if (a >= ObjectKinds[i].from && a < ObjectKinds[i].to) {
            return ObjectKinds[i].kind;
        }
    }
    dl_find_object found{};
    if (_dl_find_object(const_cast<void*>(address), &found) != 0) {
        return kObjectOurs; // unknown code is counted against the game, not excused
    }
    dl_find_object self{};
    _dl_find_object(reinterpret_cast<void*>(&AllocationCount), &self);
    const char* name = found.dlfo_link_map != nullptr ? found.dlfo_link_map->l_name : nullptr;
    tObjectKind kind = kObjectOther;
    if (found.dlfo_map_start == self.dlfo_map_start) {
        kind = kObjectOurs;
    } else if (name != nullptr && (std::strstr(name, "libstdc++") != nullptr ||
                                   std::strstr(name, "libgcc_s") != nullptr ||
                                   std::strstr(name, "libc.so") != nullptr)) {
        kind = kObjectRuntime;
    }
    if (ObjectKindCount < kObjectEntries) {
        ObjectKinds[ObjectKindCount++] = {static_cast<const char*>(found.dlfo_map_start),
                                          static_cast<const char*>(found.dlfo_map_end), kind};
    }
    return kind;
}

// True when the allocation whose operator new returns to caller was asked for by the game: no
// driver code on the stack above it. The immediate caller alone cannot tell: the library
// templates the program instantiates itself (std::string's growth, say) serve the driver's
// C++ too.
bool CallerIsOurs(void* caller) {
    // One lookup at a time; another thread's allocation meanwhile counts as the game's.
    if (Classifying.exchange(true, std::memory_order_acquire)) {
        return true;
    }
    bool ours = KindOf(caller) != kObjectOther;
    if (ours) {
        void* frames[24];
        const int depth = backtrace(frames, 24);
        for (int i = 0; i < depth && ours; ++i) {
            ours = KindOf(frames[i]) != kObjectOther;
        }
    }
    Classifying.store(false, std::memory_order_release);
    return ours;
}

void CountAllocation(void* caller) {
    if (!Enabled.load(std::memory_order_relaxed)) {
        return;
    }
    Allocations.fetch_add(1, std::memory_order_relaxed);
    if (InFrame.load(std::memory_order_relaxed) && CallerIsOurs(caller)) {
        GameAllocations.fetch_add(1, std::memory_order_relaxed);
    }
}
#endif

} // namespace

#ifndef OSTRAVEL_NO_ALLOCATION_HOOK
void* operator new(std::size_t size) {
    CountAllocation(__builtin_return_address(0));
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    CountAllocation(__builtin_return_address(0));
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    CountAllocation(__builtin_return_address(0));
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    CountAllocation(__builtin_return_address(0));
    return std::malloc(size == 0 ? 1 : size);
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

void EnableStats() {
    Enabled.store(true, std::memory_order_relaxed);
}

uint64_t AllocationCount() {
    return Allocations.load(std::memory_order_relaxed);
}

uint64_t GameFrameAllocationCount() {
    return GameAllocations.load(std::memory_order_relaxed);
}

void StatsFrameBegin() {
    if (!Enabled.load(std::memory_order_relaxed)) {
        return;
    }
    FrameBegin = tClock::now();
    AllocationsAtFrameBegin = GameAllocations.load(std::memory_order_relaxed);
    TotalAtFrameBegin = AllocationCount();
    InFrame.store(true, std::memory_order_relaxed);
}

void StatsUpdateBegin() {
    if (!Enabled.load(std::memory_order_relaxed)) {
        return;
    }
    UpdateBegin = tClock::now();
}

void StatsUpdateEnd() {
    if (Enabled.load(std::memory_order_relaxed) && Frames < kKeptFrames) {
        UpdateUs[Frames] =
            std::chrono::duration<float, std::micro>(tClock::now() - UpdateBegin).count();
    }
}

void StatsFrameEnd() {
    if (!Enabled.load(std::memory_order_relaxed)) {
        return;
    }
    InFrame.store(false, std::memory_order_relaxed);
    const tClock::time_point end = tClock::now();
    const uint64_t game = GameAllocations.load(std::memory_order_relaxed) - AllocationsAtFrameBegin;
    FrameAllocations += game;
    FrameDriverAllocations += AllocationCount() - TotalAtFrameBegin - game;
    if (Frames == 0) {
        LoadMs = std::chrono::duration<double, std::milli>(end - ProgramStart).count();
    }
    // A frame whose overdraw was counted is slower for it: its time is not kept.
    if (KeptMs < kKeptFrames && !OverdrawCounting()) {
        FrameMs[KeptMs++] = std::chrono::duration<float, std::milli>(end - FrameBegin).count();
    }
    ++Frames;
}

void PrintStats() {
    const uint32_t kept = std::min<uint32_t>(Frames, kKeptFrames);
    const double perFrame = Frames > 0 ? static_cast<double>(FrameAllocations) / Frames : 0.0;
    const double updateMedian = Percentile(UpdateUs, kept, 0.5);
    const double median = Percentile(FrameMs, KeptMs, 0.5);
    const double p95 = Percentile(FrameMs, KeptMs, 0.95);
    const double max = KeptMs > 0 ? FrameMs[KeptMs - 1] : 0.0;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("stats frames=%u load_ms=%.1f frame_ms_median=%.3f frame_ms_p95=%.3f "
                "frame_ms_max=%.3f update_us_median=%.1f allocs_per_frame=%.3f "
                "peak_rss_mb=%.1f render_scale=%.2f render_scale_auto=%s render_scale_steps=%d",
                Frames, LoadMs, median, p95, max, updateMedian, perFrame,
                static_cast<double>(usage.ru_maxrss) / 1024.0,
                static_cast<double>(RenderScaleInUse()), RenderScaleAutomatic() ? "yes" : "no",
                RenderScaleSteps());
    // How many times each window pixel was drawn, in all and by stage; "none" where the GL
    // cannot count samples (the browser's).
    if (OverdrawEnabled()) {
        std::printf(" overdraw=%.2f", static_cast<double>(OverdrawMedian(kDrawStages)));
        for (int stage = 0; stage < kDrawStages; ++stage) {
            std::printf(" overdraw_%s=%.2f", DrawStageName(stage),
                        static_cast<double>(OverdrawMedian(stage)));
        }
    } else {
        std::printf(" overdraw=none");
    }
    std::printf("\n");
    std::fflush(stdout);
    // Not part of the stats line: what the GL driver allocated meanwhile (its shader compiler,
    // once for each new drawing state), so that the figure above is the game's alone.
    std::fprintf(stderr, "stats: the GL driver allocated %.3f times per frame besides\n",
                 Frames > 0 ? static_cast<double>(FrameDriverAllocations) / Frames : 0.0);
}
