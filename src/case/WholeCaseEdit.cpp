#include "case/WholeCaseEdit.h"

#include <utility>

WholeCaseEdit::WholeCaseEdit(std::string name, CaseContents before, CaseContents after)
    : CaseEdit(std::move(name)), before(std::move(before)), after(std::move(after)) {}

void WholeCaseEdit::Apply(Case& scene) const {
    after.RestoreInto(scene);
}

void WholeCaseEdit::Revert(Case& scene) const {
    before.RestoreInto(scene);
}
