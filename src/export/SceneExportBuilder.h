#pragma once

#include "export/ExportScene.h"

class PosedCase;
struct ArrowModels;

// Collects what the view draws of the posed case: the body as drawn (in its posture, height and
// scales applied, its materials and its per-vertex colours), each trajectory's arrow from
// `arrows` placed where the posed case puts it (PosedTrajectory::ArrowTransform) in its colour,
// each element's ellipsoid in its colour, and, when asked for (while the view shows them), the
// trajectories' uncertainty cones placed as their arrows, translucent in their colours; and, with
// `withSceneModel` (while the view shows it), the case's scene model placed where the view draws
// it, in its materials and colours. Every vertex carries the unit normal it is shaded with.
ExportScene BuildExportScene(const PosedCase& posed, const ArrowModels& arrows,
                             bool withUncertaintyCones, bool withSceneModel = true);
