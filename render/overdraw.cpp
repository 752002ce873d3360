#include "render/overdraw.h"

#include "platform/gl_api.h"

#include <algorithm>

namespace {

// A stage may be entered more than once a frame (the sky comes before a masked solid model, the
// models go on after it): one query per entry.
constexpr int kQueriesPerFrame = 16;
// Enough for four minutes at 60 frames a second; later frames are counted but not kept.
constexpr int kKeptFrames = 1 << 14;

// ---- whole run ----
bool Enabled = false;
int FramesSeen = 0;
GLuint Queries[kQueriesPerFrame] = {};
// Per kept frame, by stage, then the frame's sum in the last column.
float Kept[kDrawStages + 1][kKeptFrames];
int KeptFrames = 0;
float Sorted[kKeptFrames];

// ---- per frame ----
tDrawStage QueryStage[kQueriesPerFrame];
int Used = 0;
bool Open = false;
bool Counting = false;

void CloseQuery() {
    if (Open) {
        glEndQueryARB(GL_SAMPLES_PASSED_ARB);
        Open = false;
    }
}

} // namespace

bool EnableOverdraw() {
    if (!Enabled && LoadOcclusionQueries()) {
        glGenQueriesARB(kQueriesPerFrame, Queries);
        Enabled = true;
        Counting = true;
    }
    return Enabled;
}

bool OverdrawEnabled() {
    return Enabled;
}

bool OverdrawCounting() {
    return Counting;
}

void OverdrawStage(tDrawStage stage) {
    if (!Counting) {
        return;
    }
    CloseQuery();
    if (Used == kQueriesPerFrame) {
        return; // the frame's later entries go uncounted; the game enters at most a few
    }
    QueryStage[Used] = stage;
    glBeginQueryARB(GL_SAMPLES_PASSED_ARB, Queries[Used++]);
    Open = true;
}

void OverdrawFrameDrawn() {
    CloseQuery();
}

void CollectOverdraw(int width, int height) {
    if (!Counting) {
        Counting = Enabled && ++FramesSeen % kOverdrawEvery == 0;
        return;
    }
    Counting = Enabled && ++FramesSeen % kOverdrawEvery == 0;
    CloseQuery();
    const float pixels = static_cast<float>(std::max(1, width) * std::max(1, height));
    float stages[kDrawStages + 1] = {};
    for (int q = 0; q < Used; ++q) {
        GLuint samples = 0;
        glGetQueryObjectuivARB(Queries[q], GL_QUERY_RESULT_ARB, &samples);
        stages[QueryStage[q]] += static_cast<float>(samples) / pixels;
        if (QueryStage[q] != kStageSkyMark) {
            stages[kDrawStages] += static_cast<float>(samples) / pixels;
        }
    }
    Used = 0;
    if (KeptFrames < kKeptFrames) {
        for (int s = 0; s <= kDrawStages; ++s) {
            Kept[s][KeptFrames] = stages[s];
        }
        ++KeptFrames;
    }
}

float OverdrawMedian(int stage) {
    if (KeptFrames == 0 || stage < 0 || stage > kDrawStages) {
        return 0.0f;
    }
    std::copy(Kept[stage], Kept[stage] + KeptFrames, Sorted);
    std::nth_element(Sorted, Sorted + KeptFrames / 2, Sorted + KeptFrames);
    return Sorted[KeptFrames / 2];
}

const char* DrawStageName(int stage) {
    static const char* const kNames[kDrawStages] = {"ground",      "models", "sky_mark", "sky",
                                                    "see_through", "blood",  "overlay"};
    return stage >= 0 && stage < kDrawStages ? kNames[stage] : "all";
}
