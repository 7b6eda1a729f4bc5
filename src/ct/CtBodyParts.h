#pragma once

#include "base/Vec3f.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The part of each triangle of a CT skin (body frame, cm: +X left, +Y head, y = 0 at the soles)
// into the body model's parts, named as the default body names them (head, trunk, right_arm,
// right_forearm, left_arm, left_forearm, right_thigh, right_shank, left_thigh, left_shank), for
// a body lying with its arms at its sides. The skin is cut into bands 1 cm high; in each band the
// triangles that touch one another form pieces.
// - Legs: below the crotch, the highest band under 0.6 of the length in which no piece crosses
//   the midline (x = 0) and pieces lie on both sides: air between the thighs. On each side the
//   piece nearest the midline is the leg (a piece crossing the midline, touching legs, is split
//   at x = 0); thigh above the knee, taken at 0.285 of the length, shank below. Without such a
//   band (legs that touch up to the crotch) the crotch is taken at 0.47 of the length.
// - Head: above the neck, the band between 0.75 and 0.95 of the length where the piece crossing
//   the midline is narrowest.
// - Trunk: between the crotch and the neck, the piece crossing the midline and what lies within
//   its left-right extent.
// - Arms: every other piece, left or right by the side of its middle: above the elbow, taken at
//   0.63 of the length, the arm, below it the forearm (with the hand, also where the hands lie
//   beside the thighs); arms raised above the neck change from arm to forearm halfway between the
//   neck and their top. Where an arm touches the trunk there is no air between them in that band,
//   and that stretch counts as trunk; above the armpit the shoulder counts as trunk.
// Each triangle's part is an index into CtBodyPartNames; on a skin shorter than 10 cm every
// triangle is trunk.
std::vector<uint8_t> FindCtBodyParts(const std::vector<Vec3f>& positions,
                                     const std::vector<std::array<uint32_t, 3>>& triangles);

// The parts' names, in the order above.
const std::vector<std::string>& CtBodyPartNames();
