#pragma once

#include "export/ExportScene.h"

class Universe;

// Collects what the view draws: the body as drawn (height and scales applied, its materials and
// its per-vertex colours), each trajectory's arrow placed as the view places it in its colour,
// and each element's ellipsoid in its colour.
ExportScene BuildExportScene(const Universe& scene);
