#pragma once

#include "case/Trajectory.h"
#include "edit/CaseEdit.h"

// Sets every field of one trajectory (points, adjustment, colour, text and whatever else a
// trajectory holds) from a value captured before and after the change.
class TrajectoryEdit : public CaseEdit {
public:
    TrajectoryEdit(std::string name, int index, Trajectory before, Trajectory after);

    void Apply(Case& theCase) const override;
    void Revert(Case& theCase) const override;

private:
    int index;
    Trajectory before;
    Trajectory after;
};
