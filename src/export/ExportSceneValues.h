#pragma once

#include "base/Status.h"
#include "export/ExportScene.h"

// Neither glTF nor OBJ can carry NaN or infinity, and a reader that meets one draws nothing or
// garbage; a scene that holds one is refused rather than written. The failure names the node and
// the kind of value, for example: "Trajectory 1" has a vertex position that is not a finite number.
Status CheckExportSceneValues(const ExportScene& scene);

// A colour channel as it is written: within 0 to 1.
float WrittenColorChannel(float channel);
