#include "basics/geometry.h"

tVec3 FaceNormal(const tVec3* poly) {
    const tVec3 vVector1 = Difference(poly[2], poly[0]);
    const tVec3 vVector2 = Difference(poly[1], poly[0]);
    return Normalized(CrossProduct(vVector1, vVector2));
}

bool SegmentCrossesPlane(const tVec3* poly, const tVec3* seg, tVec3& vNormal,
                         float& originDistance) {
    vNormal = FaceNormal(poly);
    originDistance = PlaneOffset(vNormal, poly[0]);
    const float d1 = DotProduct(vNormal, seg[0]) + originDistance;
    const float d2 = DotProduct(vNormal, seg[1]) + originDistance;
    return d1 * d2 < 0.0f;
}

tVec3 LinePlanePoint(tVec3 vNormal, const tVec3* seg, double originDistance) {
    const tVec3 vLineDir = Normalized(seg[1] - seg[0]);
    // Numerator and quotient stay in double precision; the point is rounded to float at the end.
    const double numerator = -(static_cast<double>(DotProduct(vNormal, seg[0])) + originDistance);
    const double denominator = static_cast<double>(DotProduct(vNormal, vLineDir));
    if (denominator == 0.0) {
        return seg[0];
    }
    const double t = numerator / denominator;
    return {static_cast<float>(seg[0].x + vLineDir.x * t),
            static_cast<float>(seg[0].y + vLineDir.y * t),
            static_cast<float>(seg[0].z + vLineDir.z * t)};
}

double AngleBetween(tVec3 a, tVec3 b) {
    const float dot = DotProduct(a, b);
    const float m = Length(a) * Length(b);
    // Quotient and arc cosine in single precision: on an edge of a slanted polygon the quotient
    // can round to just below -1, and the point then counts as outside.
    const float quotient = dot / m;
    const double angle = static_cast<double>(AcosF(quotient));
    if (std::isnan(angle)) {
        return 0.0;
    }
    return angle;
}

bool PointInPolygon(tVec3 vIntersection, const tVec3* poly, int count) {
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        const tVec3 vA = poly[i] - vIntersection;
        const tVec3 vB = poly[(i + 1) % count] - vIntersection;
        sum += AngleBetween(vA, vB);
    }
    return sum >= kInsideFactor * kFullTurn;
}

bool SegmentHitsPolygon(const tVec3* poly, const tVec3* seg, int count) {
    tVec3 vNormal;
    float originDistance;
    if (!SegmentCrossesPlane(poly, seg, vNormal, originDistance)) {
        return false;
    }
    const tVec3 vIntersection = LinePlanePoint(vNormal, seg, originDistance);
    return PointInPolygon(vIntersection, poly, count);
}

tVec3 SegmentPlaneHit(const tVec3* poly, const tVec3* seg) {
    tVec3 vNormal(0.0f, 0.0f, 0.0f);
    tVec3 tmpRes(0.0f, 0.0f, 0.0f);
    float originDistance = 0.0f;
    if (SegmentCrossesPlane(poly, seg, vNormal, originDistance)) {
        tmpRes = LinePlanePoint(vNormal, seg, originDistance);
    }
    return tmpRes;
}
