#include "basics/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectVec(tVec3 v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

tVec3 StaticVector; // static storage: starts at zero

// The ground triangle used by most cases: normal (0, 1, 0), plane y = 0.
const tVec3 kGround[3] = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};

} // namespace

TEST(VectorMath, ProductsLengthsAndComparisons) {
    ExpectVec(CrossProduct({1, 0, 0}, {0, 1, 0}), 0, 0, 1);
    ExpectVec(CrossProduct({0, 0, 1}, {0, 1, 0}), -1, 0, 0);
    EXPECT_FLOAT_EQ(Length({3, 4, 0}), 5.0f);
    ExpectVec(Normalized({0, 0, 2}), 0, 0, 1);
    const tVec3 nan = Normalized({0, 0, 0});
    EXPECT_TRUE(std::isnan(nan.x) && std::isnan(nan.y) && std::isnan(nan.z));
    EXPECT_FLOAT_EQ(PlaneOffset({0, 1, 0}, {5, 7, 9}), -7.0f);
    EXPECT_TRUE(tVec3(1, 2, 3) == tVec3(1, 2, 3));
    EXPECT_FALSE(tVec3(1, NAN, 3) == tVec3(1, NAN, 3));
    EXPECT_TRUE(StaticVector == tVec3(0, 0, 0));
    ExpectVec(tVec3(1, 2, 3) * 2.0f - tVec3(1, 1, 1) / 1.0f, 1, 3, 5);
}

TEST(Geometry, NormalsAndPlaneCrossing) {
    const tVec3 upright[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    ExpectVec(FaceNormal(upright), 0, 0, -1);

    tVec3 normal;
    float offset = 5.0f;
    const tVec3 through[2] = {{0.2f, -1, 0.2f}, {0.2f, 1, 0.2f}};
    EXPECT_TRUE(SegmentCrossesPlane(kGround, through, normal, offset));
    ExpectVec(normal, 0, 1, 0);
    EXPECT_FLOAT_EQ(offset, 0.0f);
    const tVec3 touching[2] = {{0.2f, 0, 0.2f}, {0.2f, 1, 0.2f}};
    EXPECT_FALSE(SegmentCrossesPlane(kGround, touching, normal, offset));

    // Parallel line: the segment start; otherwise the point on the infinite line.
    const tVec3 parallel[2] = {{0, 1, 0}, {1, 1, 0}};
    ExpectVec(LinePlanePoint({0, 1, 0}, parallel, 0.0), 0, 1, 0);
    const tVec3 above[2] = {{0, 1, 0}, {0, 2, 0}};
    ExpectVec(LinePlanePoint({0, 1, 0}, above, 0.0), 0, 0, 0);
}

TEST(Geometry, SegmentAgainstTriangleEdgesAndVertices) {
    const tVec3 inside[2] = {{0.2f, -1, 0.2f}, {0.2f, 1, 0.2f}};
    const tVec3 outside[2] = {{0.8f, -1, 0.8f}, {0.8f, 1, 0.8f}};
    EXPECT_TRUE(SegmentHitsPolygon(kGround, inside, 3));
    EXPECT_FALSE(SegmentHitsPolygon(kGround, outside, 3));

    // On the straight edges the point counts inside; on the slanted edge the rounded cosine
    // falls below -1 and it does not; a vertex is outside.
    EXPECT_TRUE(PointInPolygon({0, 0, 0.5f}, kGround, 3));
    EXPECT_TRUE(PointInPolygon({0.5f, 0, 0}, kGround, 3));
    EXPECT_FALSE(PointInPolygon({0.5f, 0, 0.5f}, kGround, 3));
    EXPECT_FALSE(PointInPolygon({0, 0, 0}, kGround, 3));
    EXPECT_FALSE(PointInPolygon({0.2f, 0, 0.2f}, kGround, 0));

    // The plane point has no inside test; no crossing gives the origin.
    ExpectVec(SegmentPlaneHit(kGround, outside), 0.8f, 0, 0.8f);
    const tVec3 high[2] = {{0.2f, 1, 0.2f}, {0.2f, 2, 0.2f}};
    ExpectVec(SegmentPlaneHit(kGround, high), 0, 0, 0);
}

TEST(Geometry, DegenerateInputGivesNanNotFaults) {
    const tVec3 collinear[3] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
    const tVec3 seg[2] = {{0.5f, -1, 0}, {0.5f, 1, 0}};
    EXPECT_FALSE(SegmentHitsPolygon(collinear, seg, 3));
    // A NaN normal compares as no crossing, so the plane point stays at the origin.
    EXPECT_EQ(SegmentPlaneHit(collinear, seg), tVec3(0, 0, 0));
    EXPECT_EQ(AngleBetween({0, 0, 0}, {1, 0, 0}), 0.0);
}
