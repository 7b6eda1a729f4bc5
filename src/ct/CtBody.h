#pragma once

#include "base/ProgressSink.h"
#include "base/Status.h"
#include "ct/CtBodyFrame.h"
#include "ct/CtVolume.h"
#include "mesh/Mesh.h"

#include <cstddef>

struct CtBodyOptions {
    int skinThresholdHu = -500;
    int boneThresholdHu = 300;
    // The surfaces are simplified to about this many triangles: what a drawing keeps up with.
    std::size_t skinTriangles = 300000;
    std::size_t boneTriangles = 250000;
    // Taubin steps smoothing out the voxel staircase before simplifying.
    int smoothingIterations = 10;
    // Threads to work on; 0 takes one per processor core. The surfaces are the same on any number.
    std::size_t threads = 0;
};

// The decedent's body drawn from a CT volume: the skin and the bone surfaces, both in the body
// frame (cm), and where that frame lies in the patient frame. Both are closed, smoothed and
// simplified (BuildCtSurface); the skin's groups are the body model's parts (GroupCtBodyParts),
// the bone has one group, "bone".
struct CtBodySurfaces {
    Mesh skin;
    Mesh bone;
    CtBodyFrame frame;
    double lengthCm = 0; // the skin's extent along the head-foot axis
};

// Draws the skin and the bone from the volume and moves them into the body frame the skin
// defines. The progress sink, when given, sees 0 to 100 on the calling thread and may cancel; a
// cancelled build fails and leaves `surfaces` empty, as does a volume without any skin. A volume
// without bone gives an empty bone mesh.
Status BuildCtBody(const CtVolume& volume, const CtBodyOptions& options, CtBodySurfaces& surfaces,
                   ProgressSink* progress = nullptr);
