#pragma once

#include "base/Status.h"
#include "mesh/Mesh.h"

#include <memory>
#include <string>

// The two arrows a trajectory is drawn with, in metres along -Z from the origin: the full arrow
// for a bullet that left the body, the half arrow for one that stayed inside. They are drawn at
// their modelled size, so they are not fitted. The renderer and the scene export each hold the
// arrows they draw.
struct ArrowModels {
    std::shared_ptr<const Mesh> full;
    std::shared_ptr<const Mesh> half;

    // Reads both models; each is tried, so that one missing file does not hide the other, and
    // the first failure is returned (the arrow that failed stays empty).
    Status Load(const std::string& fullPath, const std::string& halfPath);
    // The arrow for a bullet that left the body or stayed inside; nullptr while not loaded.
    const Mesh* For(bool exited) const { return exited ? full.get() : half.get(); }
};
