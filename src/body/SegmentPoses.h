#pragma once

#include "base/Matrix4.h"
#include "body/Posture.h"
#include "body/Skeleton.h"

#include <array>

// Where a posture puts each segment of the skeleton: a rigid transform per segment, in the body
// frame of the body at its default height and scales, before the body is set down on the floor.
// The pelvis carries the whole body's turn about the lumbar pivot; every other segment is its
// parent's transform followed by its joint's turn about the joint's pivot.
class SegmentPoses {
public:
    SegmentPoses(const Posture& posture, const skeleton::Pivots& pivots);

    const Matrix4& operator[](skeleton::Segment segment) const {
        return transforms[static_cast<size_t>(segment)];
    }
    // Moves every segment up by dy (the support that sets the lowest point on the floor).
    void Raise(double dy);

private:
    std::array<Matrix4, skeleton::kSegmentCount> transforms;
};
