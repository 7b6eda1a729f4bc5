#include "case/TrajectoryListEdit.h"

#include "case/Case.h"

#include <utility>

TrajectoryListEdit::TrajectoryListEdit(std::string name, Kind kind, int index, Trajectory path)
    : CaseEdit(std::move(name)), kind(kind), index(index), path(std::move(path)) {}

void TrajectoryListEdit::Apply(Case& scene) const {
    kind == Kind::Add ? Insert(scene) : Remove(scene);
}

void TrajectoryListEdit::Revert(Case& scene) const {
    kind == Kind::Add ? Remove(scene) : Insert(scene);
}

void TrajectoryListEdit::Insert(Case& scene) const {
    scene.InsertTrajectory(index, path);
    scene.ClearSelection(); // numbers after the position have moved
}

void TrajectoryListEdit::Remove(Case& scene) const {
    scene.DeleteTrajectory(index);
    scene.ClearSelection();
}
