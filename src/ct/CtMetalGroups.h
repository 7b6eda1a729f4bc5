#pragma once

#include "ct/CtMetalVoxels.h"
#include "ct/CtVolume.h"

#include <cstdint>
#include <vector>

// Metal voxels (in index order, fewer than 2^32) grouped into objects. Two voxels are one object
// when they touch by a face, an edge or a corner (26-connectivity), or when their centres lie at
// most `joinDistanceMm` apart; the relation is carried on, so that a chain of such steps is one
// object. Returns each voxel's object, numbered from 0 in the order of the objects' first voxels,
// and sets `objects` to their number.
std::vector<uint32_t> GroupCtMetalVoxels(const CtVolume& volume,
                                         const std::vector<CtMetalVoxel>& voxels,
                                         double joinDistanceMm, uint32_t& objects);
