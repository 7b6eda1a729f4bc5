#pragma once

#include "base/Status.h"
#include "ct/CtSliceScan.h"

#include <cstdint>
#include <vector>

// Decodes one slice (16-bit signed or unsigned monochrome pixels, in any transfer syntax GDCM
// decodes) into rows * columns Hounsfield units at `out`: each stored value times the slice's
// Rescale Slope plus its Rescale Intercept, rounded and held to the 16-bit range, counting the
// values held in `clamped`. `buffer` is scratch space kept between slices.
Status DecodeDicomSlice(const CtScannedSlice& slice, std::vector<char>& buffer, int16_t* out,
                        long long& clamped);
