#include "edit/ElementEdit.h"

#include "case/Case.h"

#include <utility>

ElementEdit::ElementEdit(std::string name, int index, Element before, Element after)
    : CaseEdit(std::move(name)), index(index), before(std::move(before)), after(std::move(after)) {}

void ElementEdit::Apply(Case& theCase) const {
    if (Element* element = theCase.GetElements().GetItem(index)) {
        *element = after;
    }
}

void ElementEdit::Revert(Case& theCase) const {
    if (Element* element = theCase.GetElements().GetItem(index)) {
        *element = before;
    }
}
