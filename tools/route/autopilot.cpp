#include "tools/route/autopilot.h"

#include "state/game_state.h"
#include "camera/camera.h"
#include "tools/route/path_grid.h"
#include "world/movement.h"
#include "objects/scene_objects.h"
#include "world/shooting.h"
#include "world/world_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kClearance = 28.0f;    // kept between the eye and an object's ground circle
constexpr float kFieldEdge = 20.0f;    // kept inside the field's bounds
constexpr float kLookAhead = 90.0f;    // farthest path point steered at directly
constexpr float kMaxTurn = 0.4f;       // radians of turn per frame, as a quick hand would
constexpr int kReplanFrames = 50;      // frames between two path searches on the way
constexpr float kStandReach = 40.0f;   // the defeat run stops this close to its standing point
constexpr float kCrowdRadius = 400.0f; // enemies counted around a standing point
constexpr int kStuckLimit = 8;         // frames without progress before a new path is searched

tPilotSettings Settings;
tPilotCounts Counts;

std::vector<tGroundPoint> Path;
size_t PathAt = 0;
tGroundPoint PathGoal = {1e9f, 1e9f};
uint32_t PlannedFrame = 0;
bool WalkKey = false;
bool SideKey = false;
tGroundPoint StandPoint = {0.0f, 0.0f};
bool Standing = false;
uint32_t LastClick = 0;
bool Clicked = false;
tGroundPoint LastPos = {0.0f, 0.0f};
int Stuck = 0;
int SidestepLeft = 0;

float Horizontal(tVec3 a, tVec3 b) {
    return std::hypot(a.x - b.x, a.z - b.z);
}

bool Alive(int id) {
    return GetHealth(id) > 0 && GetState(id) != kStateDead;
}

// The nearest living enemy within range of the eye, or -1.
int NearestThreat(float range) {
    const tVec3 eye = Camera.Position();
    int best = -1;
    float bestDistance = range;
    for (int id = static_cast<int>(FirstId); id < TableBound(EnemyEnd); ++id) {
        const float d = Horizontal(eye, GetPosition(id));
        if (Alive(id) && d < bestDistance) {
            best = id;
            bestDistance = d;
        }
    }
    return best;
}

float WrapAngle(float a) {
    while (a > kPi) {
        a -= 2.0f * kPi;
    }
    while (a < -kPi) {
        a += 2.0f * kPi;
    }
    return a;
}

// Cursor pixels that turn the view toward the given yaw and pitch (radians; yaw as
// atan2(x, z) of the view direction, pitch upward positive). A pixel to the right turns the
// view by -1/1000 radian about the vertical, a pixel down by -1/1000 radian of pitch.
void Aim(uint32_t frame, float yaw, float pitch, float maxTurn, std::string& lines) {
    const tVec3 v = Camera.View() - Camera.Position();
    const float curYaw = std::atan2(v.x, v.z);
    const float curPitch = std::asin(std::clamp(v.y / Length(v), -1.0f, 1.0f));
    const float turn = std::clamp(WrapAngle(yaw - curYaw), -maxTurn, maxTurn);
    const float lift = std::clamp(pitch - curPitch, -maxTurn, maxTurn);
    const long dx = -std::lround(turn * kMouseDivisor);
    const long dy = -std::lround(lift * kMouseDivisor);
    if (dx != 0 || dy != 0) {
        lines += std::to_string(frame) + " mouse " + std::to_string(dx) + " " + std::to_string(dy) +
                 "\n";
    }
}

void SetKey(uint32_t frame, const char* name, bool& state, bool down, std::string& lines) {
    if (state != down) {
        state = down;
        lines += std::to_string(frame) + " key " + name + (down ? " down\n" : " up\n");
    }
}

// Points the view at the enemy's origin and clicks when the shot taken now would hit it: the
// click is handled before this frame's update, so with the camera the last frame left.
void Engage(uint32_t frame, int id, std::string& lines) {
    const tVec3 eye = Camera.Position();
    const tVec3 to = GetPosition(id) - eye;
    tVec3 hit;
    if ((!Clicked || frame - LastClick >= static_cast<uint32_t>(Settings.clickEvery)) &&
        HitTestObject(id, Camera, hit)) {
        lines += std::to_string(frame) + " click left\n";
        LastClick = frame;
        Clicked = true;
        ++Counts.shots;
    }
    Aim(frame, std::atan2(to.x, to.z), std::atan2(to.y, std::hypot(to.x, to.z)), 1.0f, lines);
}

void Replan(uint32_t frame, tGroundPoint goal) {
    BuildWalkGrid(kClearance, kFieldEdge);
    const tVec3 eye = Camera.Position();
    Path = FindPath({eye.x, eye.z}, goal);
    PathAt = 0;
    PathGoal = goal;
    PlannedFrame = frame;
    ++Counts.replans;
    if (Path.empty()) {
        std::fprintf(stderr, "route: frame %u: no path from %.0f,%.0f to %.0f,%.0f\n", frame,
                     static_cast<double>(eye.x), static_cast<double>(eye.z),
                     static_cast<double>(goal.x), static_cast<double>(goal.z));
    }
}

// Walks the path toward goal: the farthest path point ahead within reach and in plain sight
// is steered at, the view kept level.
void WalkTo(uint32_t frame, tGroundPoint goal, std::string& lines) {
    const tVec3 eye = Camera.Position();
    const tGroundPoint here = {eye.x, eye.z};
    const bool moved = std::hypot(here.x - LastPos.x, here.z - LastPos.z) > 0.2f;
    Stuck = WalkKey && !moved ? Stuck + 1 : 0;
    LastPos = here;
    if (goal.x != PathGoal.x || goal.z != PathGoal.z || frame - PlannedFrame >= kReplanFrames ||
        Stuck >= kStuckLimit) {
        if (Stuck >= kStuckLimit) {
            ++Counts.stuckFrames;
            SidestepLeft = 6;
            Stuck = 0;
        }
        Replan(frame, goal);
    }
    // Path points already within a cell are passed.
    while (PathAt + 1 < Path.size() &&
           std::hypot(Path[PathAt].x - here.x, Path[PathAt].z - here.z) < kGridCell) {
        ++PathAt;
    }
    tGroundPoint target = Path.empty() ? goal : Path[PathAt];
    for (size_t i = PathAt; i < Path.size(); ++i) {
        if (std::hypot(Path[i].x - here.x, Path[i].z - here.z) > kLookAhead) {
            break;
        }
        if (SegmentFree(here, Path[i])) {
            target = Path[i];
        }
    }
    Aim(frame, std::atan2(target.x - here.x, target.z - here.z), 0.0f, kMaxTurn, lines);
    SetKey(frame, "w", WalkKey, true, lines);
    // A step against an object is taken back whole; a short sidestep frees the eye.
    SetKey(frame, "d", SideKey, SidestepLeft > 0, lines);
    if (SidestepLeft > 0) {
        --SidestepLeft;
    }
}

void Stand(uint32_t frame, std::string& lines) {
    SetKey(frame, "w", WalkKey, false, lines);
    Stuck = 0;
}

// The defeat run's standing point: the free spot of the field with the most enemies within
// kCrowdRadius, the nearest to the start among equals. Enemies woken on the way follow.
tGroundPoint CrowdPoint() {
    BuildWalkGrid(kClearance, kFieldEdge);
    const tVec3 eye = Camera.Position();
    tGroundPoint best = {eye.x, eye.z};
    int bestCount = -1;
    float bestDistance = 0.0f;
    for (float x = kFieldMinX; x <= kFieldMaxX; x += 50.0f) {
        for (float z = kFieldMinZ; z <= kFieldMaxZ; z += 50.0f) {
            if (!PointFree({x, z})) {
                continue;
            }
            int count = 0;
            for (int id = static_cast<int>(FirstId); id < TableBound(EnemyEnd); ++id) {
                const tVec3 p = GetPosition(id);
                count += std::hypot(p.x - x, p.z - z) < kCrowdRadius;
            }
            const float d = std::hypot(x - eye.x, z - eye.z);
            if (count > bestCount || (count == bestCount && d < bestDistance)) {
                best = {x, z};
                bestCount = count;
                bestDistance = d;
            }
        }
    }
    return best;
}

} // namespace

void StartPilot(const tPilotSettings& settings) {
    Settings = settings;
    Counts = {};
    Path.clear();
    PathAt = 0;
    PathGoal = {1e9f, 1e9f};
    WalkKey = false;
    SideKey = false;
    StandPoint = CrowdPoint();
    Standing = false;
    Clicked = false;
    Stuck = 0;
    SidestepLeft = 0;
    LastPos = {Camera.Position().x, Camera.Position().z};
}

void DecidePilotFrame(uint32_t frame, std::string& lines) {
    if (Settings.mode == kPilotDefeat) {
        // Unarmed: to the standing point, then face the nearest enemy until the end.
        const tVec3 eye = Camera.Position();
        if (Standing || std::hypot(eye.x - StandPoint.x, eye.z - StandPoint.z) < kStandReach) {
            Standing = true;
            Stand(frame, lines);
            const int threat = NearestThreat(kWakeRadius);
            if (threat >= 0) {
                const tVec3 to = GetPosition(threat) - eye;
                Aim(frame, std::atan2(to.x, to.z), 0.0f, kMaxTurn, lines);
            }
        } else {
            WalkTo(frame, StandPoint, lines);
            Standing = Path.empty();
        }
        return;
    }
    const int threat = NearestThreat(Settings.engageRange);
    if (threat >= 0) {
        Stand(frame, lines);
        Engage(frame, threat, lines);
        return;
    }
    const int next = NextLetterId();
    if (next < 0) {
        Stand(frame, lines);
        return;
    }
    const tVec3 letter = GetPosition(next);
    WalkTo(frame, {letter.x, letter.z}, lines);
}

const tPilotCounts& PilotCounts() {
    return Counts;
}
