#pragma once

#include "scene/Body.h"
#include "scene/SceneEdit.h"

// Sets the body's parameters (name, height, scales, joint angles, lighting and whatever else the
// body holds besides its mesh, which the two values share) from a value captured before and after
// the change.
class BodyEdit : public SceneEdit {
public:
    BodyEdit(std::string name, Body before, Body after);

    void Apply(Universe& scene) const override;
    void Revert(Universe& scene) const override;

private:
    Body before;
    Body after;
};
