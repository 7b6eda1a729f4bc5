#pragma once

#include "BodyLandmarks.h"
#include "TriMesh.h"

#include <vector>

// How the body surface is polygonised.
struct BodyModelSettings {
    double gridStep = 0.0068; // metres between field samples
    int relaxationRounds = 8;
};

// The default body as a closed triangle mesh grouped into its parts, placed exactly: feet on
// y = 0, top at y = 2, back at z = 0, extreme x values symmetric about 0; coordinates on the
// file's 1e-5 grid. The landmarks are moved with the mesh.
struct BodyModel {
    TriMesh mesh;
    std::vector<BodyLandmark> landmarks;
    double pivotShift = 0; // how far the placement moved the shoulder pivot (metres)
};

BodyModel BuildBodyModel(const BodyModelSettings& settings);
