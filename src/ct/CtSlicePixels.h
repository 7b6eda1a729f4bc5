#pragma once

#include "base/ProgressSink.h"
#include "base/Status.h"
#include "ct/CtSeriesFacts.h"
#include "ct/CtSliceScan.h"
#include "ct/CtVolume.h"

#include <vector>

// Reads the pixels of the sorted slices into the volume (whose size is set) as Hounsfield units:
// each stored value times the slice's Rescale Slope plus its Rescale Intercept, rounded and held
// to the 16-bit range (the facts count the voxels held). Takes 16-bit signed and unsigned
// monochrome pixels in any transfer syntax GDCM decodes. Sets the facts' HU range.
Status ReadCtSlicePixels(const std::vector<CtScannedSlice>& slices, CtVolume& volume,
                         CtSeriesFacts& facts, ProgressSink* progress);
