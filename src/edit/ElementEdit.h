#pragma once

#include "case/Element.h"
#include "edit/CaseEdit.h"

// Sets every field of one element (position, extents, angles, colour, text) from a value captured
// before and after the change.
class ElementEdit : public CaseEdit {
public:
    ElementEdit(std::string name, int index, Element before, Element after);

    void Apply(Case& theCase) const override;
    void Revert(Case& theCase) const override;

private:
    int index;
    Element before;
    Element after;
};
