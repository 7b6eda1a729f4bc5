#include "edit/WholeCaseEdit.h"

#include <utility>

WholeCaseEdit::WholeCaseEdit(std::string name, CaseContents before, CaseContents after)
    : CaseEdit(std::move(name)), before(std::move(before)), after(std::move(after)) {}

void WholeCaseEdit::Apply(Case& theCase) const {
    after.RestoreInto(theCase);
}

void WholeCaseEdit::Revert(Case& theCase) const {
    before.RestoreInto(theCase);
}
