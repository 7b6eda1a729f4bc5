#pragma once

#include "mesh/Mesh.h"

// Centres the mesh on its bounding-box centre and scales it so that the largest recorded extent
// becomes 2; records fitSize and returns the factor applied. A mesh without vertices or with zero
// extent is left unchanged and 0 is returned.
float FitToUnitBox(Mesh& mesh);
