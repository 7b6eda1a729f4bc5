#pragma once

#include "base/Matrix4.h"

#include <optional>

class Body;

// The three planes a pathologist measures a wound from, found from a body's surface in the
// anatomical position at its height and stretches (body frame, metres): the soles (the lowest
// point of the surface), the back (its most posterior point) and the midline (the middle of its
// left-right extent). A point's description is its height above the soles, its offset from the
// midline (+ toward the body's left) and its offset from the back (+ toward the front); the same
// description placed on another body puts the point where the same measures lie on that one.
struct BodyReferencePlanes {
    double solesY = 0;
    double backZ = 0;
    double midlineX = 0;

    // The description of a body-frame point, and the body-frame point of a description.
    Vec3 Describe(const Vec3& point) const;
    Vec3 Place(const Vec3& description) const;
};

// The planes of the body's surface at rest; none for a body without a model or without vertices.
std::optional<BodyReferencePlanes> ReferencePlanesOf(const Body& body);
