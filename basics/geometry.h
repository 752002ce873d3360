// Segments against polygons: the ground-height probe and the shot test are built on these.
//
// A polygon is a pointer to its first of n consecutive tVec3; only the first three define its
// plane. A segment is two consecutive tVec3, start then end. A plane is a unit normal with an
// offset d: the points X with vNormal.X + d == 0. Degenerate input gives NaN, never a fault.
#pragma once

#include "basics/vec3.h"

// Share of a full turn the angle sum of the inside test must reach.
constexpr double kInsideFactor = 0.9999;
constexpr double kFullTurn = 6.28318530718;

// Unit normal of the polygon's first three corners: (p2 - p0) x (p1 - p0), normalised.
tVec3 FaceNormal(const tVec3* poly);
// True only when the segment's two ends lie strictly on opposite sides of the polygon's plane.
// vNormal and originDistance are written whatever the answer.
bool SegmentCrossesPlane(const tVec3* poly, const tVec3* seg, tVec3& vNormal,
                         float& originDistance);
// Where the segment's infinite line meets the plane; the segment start when they are parallel.
tVec3 LinePlanePoint(tVec3 vNormal, const tVec3* seg, double originDistance);
// Angle between two vectors in radians; 0 where the arc cosine is NaN.
double AngleBetween(tVec3 a, tVec3 b);
// Angle-sum test for a point in the polygon's plane.
bool PointInPolygon(tVec3 vIntersection, const tVec3* poly, int count);
// Whether the segment passes through the polygon.
bool SegmentHitsPolygon(const tVec3* poly, const tVec3* seg, int count);
// Where the segment passes the polygon's plane (no inside test); (0, 0, 0) when it does not.
tVec3 SegmentPlaneHit(const tVec3* poly, const tVec3* seg);
