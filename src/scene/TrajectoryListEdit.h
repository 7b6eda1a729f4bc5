#pragma once

#include "scene/Path.h"
#include "scene/SceneEdit.h"

// Adds a trajectory at a table position or removes the one there, renumbering the later ones as
// the table does. The trajectory's whole value is kept, so taking a deletion back restores it
// with its number, colour, label and adjustment. Either way the selection is cleared.
class TrajectoryListEdit : public SceneEdit {
public:
    enum class Kind { Add, Remove };

    TrajectoryListEdit(std::string name, Kind kind, int index, Path path);

    void Apply(Universe& scene) const override;
    void Revert(Universe& scene) const override;

private:
    void Insert(Universe& scene) const;
    void Remove(Universe& scene) const;

    Kind kind;
    int index;
    Path path;
};
