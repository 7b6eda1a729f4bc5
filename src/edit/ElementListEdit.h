#pragma once

#include "case/Element.h"
#include "edit/CaseEdit.h"

// Adds an element at a list position or removes the one there, renumbering the later ones as the
// list does. The element's whole value is kept; either way the later numbers change.
class ElementListEdit : public CaseEdit {
public:
    enum class Kind { Add, Remove };

    ElementListEdit(std::string name, Kind kind, int index, Element element);

    void Apply(Case& theCase) const override;
    void Revert(Case& theCase) const override;
    bool Renumbers() const override { return true; }

private:
    void Insert(Case& theCase) const;
    void Remove(Case& theCase) const;

    Kind kind;
    int index;
    Element element;
};
