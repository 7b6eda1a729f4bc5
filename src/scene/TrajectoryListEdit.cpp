#include "scene/TrajectoryListEdit.h"

#include "scene/Universe.h"

#include <utility>

TrajectoryListEdit::TrajectoryListEdit(std::string name, Kind kind, int index, Path path)
    : SceneEdit(std::move(name)), kind(kind), index(index), path(std::move(path)) {}

void TrajectoryListEdit::Apply(Universe& scene) const {
    kind == Kind::Add ? Insert(scene) : Remove(scene);
}

void TrajectoryListEdit::Revert(Universe& scene) const {
    kind == Kind::Add ? Remove(scene) : Insert(scene);
}

void TrajectoryListEdit::Insert(Universe& scene) const {
    scene.InsertTrajectory(index, path);
    scene.ClearSelection(); // numbers after the position have moved
}

void TrajectoryListEdit::Remove(Universe& scene) const {
    scene.DeleteTrajectory(index);
    scene.ClearSelection();
}
