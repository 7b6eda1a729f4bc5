#pragma once

#include "Vec3.h"

// Signed distances (negative inside) of the shapes the body is built from, and the smooth
// operators that join them without creases.

double SphereDistance(Vec3 p, Vec3 centre, double radius);

// A cone with rounded ends: a sphere of radius ra at a, one of radius rb at b, and their tangent
// cone between.
double RoundConeDistance(Vec3 p, Vec3 a, Vec3 b, double ra, double rb);

// An axis-aligned ellipsoid; a close bound near its surface, which is where it matters.
double EllipsoidDistance(Vec3 p, Vec3 centre, Vec3 radii);

// A box with rounded edges: half extents of its core plus the rounding radius.
double RoundBoxDistance(Vec3 p, Vec3 centre, Vec3 halfExtents, double rounding);

// Polynomial smooth minimum: the union of two shapes with a fillet of width about k.
double SmoothUnion(double a, double b, double k);

// The intersection with the same fillet.
double SmoothIntersection(double a, double b, double k);

// Hermite step from 0 at edge0 to 1 at edge1.
double SmoothStep(double edge0, double edge1, double x);
