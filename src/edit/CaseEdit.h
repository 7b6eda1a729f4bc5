#pragma once

#include "case/Case.h"

#include <string>

// One undoable change of the case, kept as the case's value before and after it: applying it
// sets the case to the value after, reverting it to the value before. The undo history calls
// them in its order (Revert only on a case that Apply left, Apply again only on a case that
// Revert left), so either restores the case exactly. The loaded models are shared, not copied.
class CaseEdit {
public:
    CaseEdit(std::string editName, Case caseBefore, Case caseAfter, bool renumbersEntries)
        : name(std::move(editName)), before(std::move(caseBefore)), after(std::move(caseAfter)),
          renumbers(renumbersEntries) {}
    CaseEdit(const CaseEdit&) = delete;
    CaseEdit& operator=(const CaseEdit&) = delete;

    // What the user did, as the Edit menu names it ("Undo <name>").
    const std::string& Name() const { return name; }

    // Makes the change (do and redo).
    void Apply(Case& theCase) const { theCase = after; }
    // Takes it back exactly.
    void Revert(Case& theCase) const { theCase = before; }
    // True when applying or reverting the edit changes which number names which trajectory or
    // element (an entry added or removed, the whole case replaced): a selection by number no
    // longer means what it meant.
    bool Renumbers() const { return renumbers; }

private:
    std::string name;
    Case before;
    Case after;
    bool renumbers;
};
