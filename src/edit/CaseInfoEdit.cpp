#include "edit/CaseInfoEdit.h"

#include "case/Case.h"

CaseInfoEdit::CaseInfoEdit(std::string name, CaseInfo before, CaseInfo after)
    : CaseEdit(std::move(name)), before(std::move(before)), after(std::move(after)) {}

void CaseInfoEdit::Apply(Case& theCase) const {
    theCase.SetCaseInfo(after);
}

void CaseInfoEdit::Revert(Case& theCase) const {
    theCase.SetCaseInfo(before);
}
