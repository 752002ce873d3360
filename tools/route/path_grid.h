// A walking grid over the playing field for the route tool: cells the eye may stand in, and the
// shortest 8-connected path between two points around the collidable objects.
#pragma once

#include "basics/vec3.h"

#include <vector>

constexpr float kGridCell = 10.0f; // world units per cell side

struct tGroundPoint {
    float x, z;
};

// Marks every cell whose centre lies off the field (less an edge) or within an object's ground
// radius plus clearance. Collidable objects are read from the scene table as they stand now.
void BuildWalkGrid(float clearance, float fieldEdge);
// Whether the point's cell is free.
bool PointFree(tGroundPoint p);
// Whether the straight segment between two points stays on free cells.
bool SegmentFree(tGroundPoint a, tGroundPoint b);
// Shortest path from start to goal (cell centres, the goal itself last); empty when none exists.
// A blocked start cell is allowed, so a pilot that brushed an object can still leave it.
std::vector<tGroundPoint> FindPath(tGroundPoint start, tGroundPoint goal);
