#pragma once

#include "base/Status.h"

#include <string>

struct Case;

// Reads the scene model the case names (any body format) into the case's world, unless it is
// read already; the path is taken as written, or, when relative, from the folder of the data
// file `caseFile` (when given) if it is there. A model that does not read leaves the case as it
// was (no scene mesh) and the status says why; a case without a model has nothing to read.
Status LoadSceneModel(Case& theCase, const std::string& caseFile = {});

// Reads `path` as the scene model of the case, replacing the one it had only when it reads.
Status ReplaceSceneModel(Case& theCase, const std::string& path);
