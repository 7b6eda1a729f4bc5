#pragma once

#include "base/Status.h"
#include "export/ExportScene.h"

#include <string>

// Writes the scene as Wavefront OBJ with its material library beside it (same name, ".mtl"):
// one object ("o") per scene node (blanks in its name written as "_"), one material per triangle
// set, per-vertex colours after the positions of "v" lines. Both files are written beside their
// targets and renamed over them.
Status WriteObjScene(const ExportScene& scene, const std::string& path,
                     const std::string& generator);
