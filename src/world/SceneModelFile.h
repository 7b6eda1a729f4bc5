#pragma once

#include "base/Status.h"

#include <string>

struct Case;

// Reads the scene model the case names (any body format) into the case's world, unless it is
// read already. A case read from its data file holds the model's whole path; a relative name
// still held is taken from the folder of the data file `caseFile` (when given), never from the
// current folder. A model that does not read leaves the case as it was (no scene mesh) and the
// status says why, naming the file as the scene model; a case without a model has nothing to
// read.
Status LoadSceneModel(Case& theCase, const std::string& caseFile = {});

// Reads `path` as the scene model of the case, replacing the one it had only when it reads; the
// case holds it by its whole path.
Status ReplaceSceneModel(Case& theCase, const std::string& path);
