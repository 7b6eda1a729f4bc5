#pragma once

#include "scene/Body.h"
#include "scene/Path.h"
#include "scene/VkElement.h"

#include <string>
#include <vector>

class Universe;

// Everything a case holds, as a value: every trajectory and element in order, the body with its
// parameters (sharing its mesh) and the file the body was read from. Used by the edits that
// change the case as a whole: "Delete all", reading a data file, replacing the body.
struct CaseContents {
    std::vector<Path> trajectories;
    std::vector<VkElement> elements;
    Body body;
    std::string bodyModelFile;

    static CaseContents Capture(const Universe& scene);
    // Makes the scene hold exactly these contents; the selection is cleared.
    void RestoreInto(Universe& scene) const;

    bool operator==(const CaseContents&) const = default;
};
