#include "tools/route/path_grid.h"

#include "camera/camera.h"
#include "world/movement.h"
#include "objects/scene_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <queue>

namespace {

const int kCols = static_cast<int>((kFieldMaxX - kFieldMinX) / kGridCell) + 1;
const int kRows = static_cast<int>((kFieldMaxZ - kFieldMinZ) / kGridCell) + 1;
std::vector<uint8_t> Blocked;

int Col(float x) {
    return std::clamp(static_cast<int>(std::lround((x - kFieldMinX) / kGridCell)), 0, kCols - 1);
}
int Row(float z) {
    return std::clamp(static_cast<int>(std::lround((z - kFieldMinZ) / kGridCell)), 0, kRows - 1);
}
tGroundPoint Centre(int col, int row) {
    return {kFieldMinX + static_cast<float>(col) * kGridCell,
            kFieldMinZ + static_cast<float>(row) * kGridCell};
}
bool BlockedAt(int col, int row) {
    return Blocked[static_cast<size_t>(row * kCols + col)] != 0;
}

} // namespace

void BuildWalkGrid(float clearance, float fieldEdge) {
    Blocked.assign(static_cast<size_t>(kCols * kRows), 0);
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kCols; ++col) {
            const tGroundPoint c = Centre(col, row);
            if (c.x < kFieldMinX + fieldEdge || c.x > kFieldMaxX - fieldEdge ||
                c.z < kFieldMinZ + fieldEdge || c.z > kFieldMaxZ - fieldEdge) {
                Blocked[static_cast<size_t>(row * kCols + col)] = 1;
            }
        }
    }
    for (int id = 0; id < kMaxSceneObjects; ++id) {
        if (!IsCollidable(id)) {
            continue;
        }
        const tVec3 o = GetPosition(id);
        const float reach = GroundRadius(id) + clearance;
        const int c0 = Col(o.x - reach), c1 = Col(o.x + reach);
        const int r0 = Row(o.z - reach), r1 = Row(o.z + reach);
        for (int row = r0; row <= r1; ++row) {
            for (int col = c0; col <= c1; ++col) {
                const tGroundPoint c = Centre(col, row);
                if (std::hypot(c.x - o.x, c.z - o.z) < reach) {
                    Blocked[static_cast<size_t>(row * kCols + col)] = 1;
                }
            }
        }
    }
}

bool PointFree(tGroundPoint p) {
    return !BlockedAt(Col(p.x), Row(p.z));
}

bool SegmentFree(tGroundPoint a, tGroundPoint b) {
    const float length = std::hypot(b.x - a.x, b.z - a.z);
    const int samples = std::max(1, static_cast<int>(length / (kGridCell * 0.5f)));
    for (int i = 1; i <= samples; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(samples);
        if (BlockedAt(Col(a.x + (b.x - a.x) * t), Row(a.z + (b.z - a.z) * t))) {
            return false;
        }
    }
    return true;
}

std::vector<tGroundPoint> FindPath(tGroundPoint start, tGroundPoint goal) {
    const int cells = kCols * kRows;
    const int from = Row(start.z) * kCols + Col(start.x);
    const int to = Row(goal.z) * kCols + Col(goal.x);
    std::vector<float> cost(static_cast<size_t>(cells), INFINITY);
    std::vector<int> came(static_cast<size_t>(cells), -1);
    using tEntry = std::pair<float, int>; // estimated total, cell
    std::priority_queue<tEntry, std::vector<tEntry>, std::greater<>> open;
    const auto estimate = [&](int cell) {
        // Octile distance in cells: admissible for 8-connected moves.
        const int dc = std::abs(cell % kCols - to % kCols),
                  dr = std::abs(cell / kCols - to / kCols);
        return static_cast<float>(std::max(dc, dr)) +
               0.41421356f * static_cast<float>(std::min(dc, dr));
    };
    cost[static_cast<size_t>(from)] = 0.0f;
    open.push({estimate(from), from});
    while (!open.empty()) {
        const auto [f, cell] = open.top();
        open.pop();
        if (cell == to) {
            break;
        }
        const float g = cost[static_cast<size_t>(cell)];
        if (f > g + estimate(cell) + 1e-3f) {
            continue; // a stale entry
        }
        const int col = cell % kCols, row = cell / kCols;
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dc = -1; dc <= 1; ++dc) {
                const int nc = col + dc, nr = row + dr;
                if ((dc == 0 && dr == 0) || nc < 0 || nr < 0 || nc >= kCols || nr >= kRows ||
                    BlockedAt(nc, nr)) {
                    continue;
                }
                // No corner cutting past a blocked cell.
                if (dc != 0 && dr != 0 && (BlockedAt(col + dc, row) || BlockedAt(col, row + dr))) {
                    continue;
                }
                const int next = nr * kCols + nc;
                const float step = (dc != 0 && dr != 0) ? 1.41421356f : 1.0f;
                if (g + step < cost[static_cast<size_t>(next)]) {
                    cost[static_cast<size_t>(next)] = g + step;
                    came[static_cast<size_t>(next)] = cell;
                    open.push({g + step + estimate(next), next});
                }
            }
        }
    }
    std::vector<tGroundPoint> path;
    if (from != to && came[static_cast<size_t>(to)] < 0) {
        return path;
    }
    path.push_back(goal);
    for (int cell = came[static_cast<size_t>(to)]; cell >= 0 && cell != from;
         cell = came[static_cast<size_t>(cell)]) {
        path.push_back(Centre(cell % kCols, cell / kCols));
    }
    std::reverse(path.begin(), path.end());
    return path;
}
