#include "edit/TrajectoryEdit.h"

#include "case/Case.h"

#include <utility>

TrajectoryEdit::TrajectoryEdit(std::string name, int index, Trajectory before, Trajectory after)
    : CaseEdit(std::move(name)), index(index), before(std::move(before)), after(std::move(after)) {}

void TrajectoryEdit::Apply(Case& theCase) const {
    if (Trajectory* trajectory = theCase.GetTrajectory(index)) {
        *trajectory = after;
    }
}

void TrajectoryEdit::Revert(Case& theCase) const {
    if (Trajectory* trajectory = theCase.GetTrajectory(index)) {
        *trajectory = before;
    }
}
