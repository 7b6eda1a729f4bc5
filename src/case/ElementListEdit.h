#pragma once

#include "case/CaseEdit.h"
#include "case/Element.h"

// Adds an element at a list position or removes the one there, renumbering the later ones as the
// list does. The element's whole value is kept; either way the selection is cleared.
class ElementListEdit : public CaseEdit {
public:
    enum class Kind { Add, Remove };

    ElementListEdit(std::string name, Kind kind, int index, Element element);

    void Apply(Case& scene) const override;
    void Revert(Case& scene) const override;

private:
    void Insert(Case& scene) const;
    void Remove(Case& scene) const;

    Kind kind;
    int index;
    Element element;
};
