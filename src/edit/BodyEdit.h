#pragma once

#include "body/Body.h"
#include "edit/CaseEdit.h"

// Sets the body's parameters (name, height, scales, joint angles, lighting and whatever else the
// body holds besides its mesh, which the two values share) from a value captured before and after
// the change.
class BodyEdit : public CaseEdit {
public:
    BodyEdit(std::string name, Body before, Body after);

    void Apply(Case& theCase) const override;
    void Revert(Case& theCase) const override;

private:
    Body before;
    Body after;
};
