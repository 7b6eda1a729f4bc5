#pragma once

#include "scene/Path.h"
#include "scene/SceneEdit.h"

// Sets every field of one trajectory (points, adjustment, colour, text and whatever else a
// trajectory holds) from a value captured before and after the change.
class TrajectoryEdit : public SceneEdit {
public:
    TrajectoryEdit(std::string name, int index, Path before, Path after);

    void Apply(Universe& scene) const override;
    void Revert(Universe& scene) const override;

private:
    int index;
    Path before;
    Path after;
};
