#include "edit/BodyEdit.h"

#include "case/Case.h"

#include <utility>

BodyEdit::BodyEdit(std::string name, Body before, Body after)
    : CaseEdit(std::move(name)), before(std::move(before)), after(std::move(after)) {}

void BodyEdit::Apply(Case& theCase) const {
    theCase.GetBody() = after;
}

void BodyEdit::Revert(Case& theCase) const {
    theCase.GetBody() = before;
}
