#include "case/TrajectoryEdit.h"

#include "case/Case.h"

#include <utility>

TrajectoryEdit::TrajectoryEdit(std::string name, int index, Trajectory before, Trajectory after)
    : CaseEdit(std::move(name)), index(index), before(std::move(before)), after(std::move(after)) {}

void TrajectoryEdit::Apply(Case& scene) const {
    if (Trajectory* path = scene.GetTrajectory(index)) {
        *path = after;
    }
}

void TrajectoryEdit::Revert(Case& scene) const {
    if (Trajectory* path = scene.GetTrajectory(index)) {
        *path = before;
    }
}
