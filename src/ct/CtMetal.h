#pragma once

#include "base/Matrix4.h"
#include "base/ProgressSink.h"
#include "base/Status.h"
#include "ct/CtBodyFrame.h"
#include "ct/CtMetalObject.h"
#include "ct/CtScan.h"
#include "ct/CtVolume.h"

#include <cstddef>
#include <vector>

struct CtMetalOptions {
    // Metal is every voxel at or above this value. Cortical bone stays below about 2,000 HU and
    // the scanners' ordinary scale ends at 3,071 HU, where bullets and fragments clip: the
    // threshold lies between, so that metal is found on scanners with and without an extended
    // scale. Dental enamel and fillings reach it as well.
    int thresholdHu = 2500;
    // Metal voxels whose centres lie this close are one object (besides those that touch), so
    // that the dark streaks a projectile casts across itself, which push lines of its own voxels
    // below the threshold, do not cut it into pieces. Fragments further apart stay apart.
    double joinDistanceMm = 3.0;
    // Objects of a smaller volume are left out: single bright voxels of streaks and noise. The
    // smallest shot pellets (2 mm) hold about 4 mm3.
    double minVolumeMm3 = 2.0;
    // Threads for the pass over the volume; 0 takes one per processor core. The objects are the
    // same on any number.
    std::size_t threads = 0;
};

// The metal objects of a volume, largest volume first (equal volumes in the order of their first
// voxel along i, j, k), in one pass over the voxels without copying them.
//
// Voxels at or above the threshold are grouped into objects: voxels touching by a face, an edge
// or a corner, or whose centres lie within the joining distance, are one object.
//
// An object's edge voxels hold metal and tissue both, and their values lie between the two: the
// threshold alone would miss most of a small fragment's volume. Each voxel of the object and of
// the layer of voxels around it (its 26 neighbours) is therefore counted by the share of metal
// its value shows, (value - surrounding) / (metal - surrounding) kept within 0 and 1, where the
// surrounding value is the median of the next layer out and the metal value is the median of the
// object's inner voxels (those with all 26 neighbours metal), or its peak when it has none. A
// voxel of the layer with metal on two opposite sides lies in a crack that a dark streak has cut
// across the metal and counts in full. The volume is the sum of the shares times the voxel
// volume; the centroid is the mean of the voxel centres weighted by their shares; the extent is
// the largest distance between the centres of the voxels at least half metal, plus half the edge
// of a cube of one voxel's volume: at a flat end the metal reaches half a voxel beyond the last
// centre, at a rounded end less, so the extent is within about half a voxel of the true length.
// Where the metal clips at the top of the scanner's scale its true value is higher than the one
// taken, and edge voxels show more metal than they hold: the volume of such an object is then an
// upper bound.
//
// Objects smaller than the least volume are left out. The body-frame centroid is given when
// `frame` is. Fails on a volume whose sizes, spacing or voxel count disagree, when more than 1 %
// of the voxels (and more than 2^20) reach the threshold, which is then too low for metal, or when
// cancelled through the progress sink (which sees 0 to 100); `objects` is then empty.
Status FindCtMetal(const CtVolume& volume, const CtMetalOptions& options,
                   std::vector<CtMetalObject>& objects, const CtBodyFrame* frame = nullptr,
                   ProgressSink* progress = nullptr);

// The metal objects of a scan, with their centroids in its body frame.
Status FindCtMetal(const CtScan& scan, const CtMetalOptions& options,
                   std::vector<CtMetalObject>& objects, ProgressSink* progress = nullptr);
