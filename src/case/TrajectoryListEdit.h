#pragma once

#include "case/CaseEdit.h"
#include "case/Trajectory.h"

// Adds a trajectory at a table position or removes the one there, renumbering the later ones as
// the table does. The trajectory's whole value is kept, so taking a deletion back restores it
// with its number, colour, label and adjustment. Either way the selection is cleared.
class TrajectoryListEdit : public CaseEdit {
public:
    enum class Kind { Add, Remove };

    TrajectoryListEdit(std::string name, Kind kind, int index, Trajectory path);

    void Apply(Case& scene) const override;
    void Revert(Case& scene) const override;

private:
    void Insert(Case& scene) const;
    void Remove(Case& scene) const;

    Kind kind;
    int index;
    Trajectory path;
};
