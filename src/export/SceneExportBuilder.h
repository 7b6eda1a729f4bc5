#pragma once

#include "export/ExportScene.h"

class Case;

// Collects what the view draws: the body as drawn (height and scales applied, its materials and
// its per-vertex colours), each trajectory's arrow placed as the view places it in its colour,
// each element's ellipsoid in its colour, and, when asked for (while the view shows them), the
// trajectories' uncertainty cones, translucent in their colours; and, with `withSceneModel`
// (while the view shows it), the case's scene model placed where the view draws it, in its
// materials and colours. Every vertex carries the unit normal it is shaded with.
ExportScene BuildExportScene(const Case& theCase, bool withUncertaintyCones,
                             bool withSceneModel = true);
