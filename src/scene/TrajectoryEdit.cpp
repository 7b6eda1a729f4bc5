#include "scene/TrajectoryEdit.h"

#include "scene/Universe.h"

#include <utility>

TrajectoryEdit::TrajectoryEdit(std::string name, int index, Path before, Path after)
    : SceneEdit(std::move(name)), index(index), before(std::move(before)), after(std::move(after)) {
}

void TrajectoryEdit::Apply(Universe& scene) const {
    if (Path* path = scene.GetTrajectory(index)) {
        *path = after;
    }
}

void TrajectoryEdit::Revert(Universe& scene) const {
    if (Path* path = scene.GetTrajectory(index)) {
        *path = before;
    }
}
