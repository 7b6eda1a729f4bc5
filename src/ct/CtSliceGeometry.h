#pragma once

#include "base/Status.h"
#include "ct/CtSliceScan.h"
#include "ct/CtVolume.h"

#include <vector>

// Checks that the slices of one series make an undistorted volume and orders them along the
// slice normal: one orientation, one size and pixel spacing, no localizer, positions stepping
// along the normal (no gantry tilt) by one gap (none missing, none unequal). On success the
// slices are sorted and the volume's size, spacing and frame are set (its voxels are not).
// A single slice takes its stated thickness (else 1 mm) as its spacing across slices.
Status PlaceCtSlices(std::vector<CtScannedSlice>& slices, CtVolume& volume);
