#pragma once

#include "ct/CtBodyFrame.h"
#include "ct/CtMetalObject.h"
#include "ct/CtSeriesFacts.h"
#include "ct/CtVolume.h"
#include "mesh/Mesh.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// A CT series as a case holds it once read: the volume the slices are drawn from, what the
// series says about itself, where the body frame lies in the patient frame, the bone surface
// (body frame, cm) drawn inside the skin, the metal objects found in it, and the SHA-256 of the
// series' files. The skin itself becomes the case's body. A scan never changes once read: copies of
// a case share it.
struct CtScan {
    CtVolume volume;
    CtSeriesFacts facts;
    CtBodyFrame frame;
    std::shared_ptr<const Mesh> bone;
    // The thresholds the surfaces were drawn at (Hounsfield units).
    int skinThresholdHu = -500;
    int boneThresholdHu = 300;
    // Triangles of the skin as drawn (after simplification) and of the bone.
    std::size_t skinTriangles = 0;
    std::size_t boneTriangles = 0;
    // The body's length along the head-foot axis, cm (soles to the top of the skin).
    double bodyLengthCm = 0;
    // The metal objects, largest first, with their body-frame centroids (see FindCtMetal), found
    // once when the series is read, at this threshold (Hounsfield units). When the search failed
    // (a threshold too low for the series) there are none and metalFailure says why.
    std::vector<CtMetalObject> metal;
    int metalThresholdHu = 2500;
    std::string metalFailure;
    // SHA-256 over the series' files, lower-case hexadecimal.
    std::string seriesSha256;
};
