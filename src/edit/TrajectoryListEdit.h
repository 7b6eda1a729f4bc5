#pragma once

#include "case/Trajectory.h"
#include "edit/CaseEdit.h"

// Adds a trajectory at a table position or removes the one there, renumbering the later ones as
// the table does. The trajectory's whole value is kept, so taking a deletion back restores it
// with its number, colour, label and adjustment. Either way the later numbers change.
class TrajectoryListEdit : public CaseEdit {
public:
    enum class Kind { Add, Remove };

    TrajectoryListEdit(std::string name, Kind kind, int index, Trajectory trajectory);

    void Apply(Case& theCase) const override;
    void Revert(Case& theCase) const override;
    bool Renumbers() const override { return true; }

private:
    void Insert(Case& theCase) const;
    void Remove(Case& theCase) const;

    Kind kind;
    int index;
    Trajectory trajectory;
};
