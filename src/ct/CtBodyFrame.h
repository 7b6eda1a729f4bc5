#pragma once

#include "base/Matrix4.h"
#include "base/Status.h"
#include "mesh/Mesh.h"

#include <array>
#include <cstdint>
#include <vector>

// Where a CT body stands in the body frame. The series' patient frame (LPS, mm: +x toward the
// patient's left, +y toward the back, +z toward the head) turns into the body frame (cm: +X toward
// the left, +Y toward the head, +Z toward the front) by a rotation, which keeps every triangle's
// winding, and a shift chosen from the skin: y = 0 at the soles (the lowest skin point along the
// head-foot axis), z = 0 at the back (the most posterior skin point), x = 0 at the middle of the
// skin's left-right extent. The iso-surface stays in LPS mm; this is the one step to the body.
struct CtBodyFrame {
    Vec3 originLps; // the body frame's origin in the patient frame, mm
};

// The frame of a skin surface given in LPS mm; fails on a skin without triangles.
Status BodyFrameOfSkin(const Mesh& skinLps, CtBodyFrame& frame);
// The same rule for a skin given as bare positions (LPS mm) and corners, which must not be empty.
CtBodyFrame BodyFrameOfCorners(const std::vector<Vec3f>& positions,
                               const std::vector<std::array<uint32_t, 3>>& triangles);

// A patient point (LPS, mm) in the body frame (cm), and back.
Vec3 LpsToBody(const CtBodyFrame& frame, const Vec3& lps);
Vec3 BodyToLps(const CtBodyFrame& frame, const Vec3& body);

// The transform LpsToBody applies, for drawing code that multiplies matrices.
Matrix4 LpsToBodyMatrix(const CtBodyFrame& frame);

// Moves a mesh given in LPS mm into the body frame: positions, normals, facet normals and boxes.
void MoveToBodyFrame(const CtBodyFrame& frame, Mesh& mesh);
