#pragma once

#include <string>

class Case;

// One undoable change of the case. An edit holds the values it sets and the values it replaces,
// so applying it and reverting it can be repeated in the order of an undo history: Revert is only
// called on a case that Apply left, Apply (again) only on a case that Revert left.
class CaseEdit {
public:
    explicit CaseEdit(std::string name) : name(std::move(name)) {}
    virtual ~CaseEdit() = default;
    CaseEdit(const CaseEdit&) = delete;
    CaseEdit& operator=(const CaseEdit&) = delete;

    // What the user did, as the Edit menu names it ("Undo <name>").
    const std::string& Name() const { return name; }

    // Makes the change (do and redo).
    virtual void Apply(Case& theCase) const = 0;
    // Takes it back exactly.
    virtual void Revert(Case& theCase) const = 0;
    // True when applying or reverting the edit changes which number names which trajectory or
    // element (an entry added or removed, the whole case replaced): a selection by number no
    // longer means what it meant.
    virtual bool Renumbers() const { return false; }

private:
    std::string name;
};
