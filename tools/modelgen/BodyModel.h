#pragma once

#include "TriMesh.h"

// How the body surface is polygonised.
struct BodyModelSettings {
    double gridStep = 0.009; // metres between field samples
    int relaxationRounds = 8;
};

// The default body as a closed triangle mesh, placed exactly: feet on y = 0, top at y = 2,
// back at z = 0, extreme x values symmetric about 0; coordinates on the file's 1e-5 grid.
// `pivotShift` receives how far that placement moved the body's joints (metres).
TriMesh BuildBodyModel(const BodyModelSettings& settings, double& pivotShift);
