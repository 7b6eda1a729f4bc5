#include "edit/TrajectoryListEdit.h"

#include "case/Case.h"

#include <utility>

TrajectoryListEdit::TrajectoryListEdit(std::string name, Kind kind, int index,
                                       Trajectory trajectory)
    : CaseEdit(std::move(name)), kind(kind), index(index), trajectory(std::move(trajectory)) {}

void TrajectoryListEdit::Apply(Case& theCase) const {
    kind == Kind::Add ? Insert(theCase) : Remove(theCase);
}

void TrajectoryListEdit::Revert(Case& theCase) const {
    kind == Kind::Add ? Remove(theCase) : Insert(theCase);
}

void TrajectoryListEdit::Insert(Case& theCase) const {
    theCase.InsertTrajectory(index, trajectory);
}

void TrajectoryListEdit::Remove(Case& theCase) const {
    theCase.DeleteTrajectory(index);
}
