#pragma once

#include "base/Status.h"
#include "export/ExportScene.h"

#include <string>

// Writes the scene as Wavefront OBJ with its material library beside it (same name, ".mtl"):
// one object ("o") per scene node (blanks in its name written as "_"), one material per triangle
// set, per-vertex colours after the positions of "v" lines, colours held within 0 to 1. Both files
// are written beside their targets and renamed over them together: a failure leaves both as they
// were. A scene holding a number that is not finite is refused, naming it.
Status WriteObjScene(const ExportScene& scene, const std::string& path,
                     const std::string& generator);
