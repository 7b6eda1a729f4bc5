#pragma once

#include "base/Status.h"

#include <string>

class PosedCase;
struct ArrowModels;

// Writes the posed case as a 3-D scene for other tools, its arrows drawn with `arrows`: binary
// glTF for a path ending in ".glb", OBJ with its material library for one ending in ".obj" (any
// case). Anything else is refused. The uncertainty cones are written with `withUncertaintyCones`
// (while the view shows them), the case's scene model with `withSceneModel` (while the view shows
// it).
Status ExportSceneFile(const PosedCase& posed, const ArrowModels& arrows, const std::string& path,
                       bool withUncertaintyCones = false, bool withSceneModel = true);

// True when the path names a format the export writes.
bool IsSceneExportPath(const std::string& path);
