#pragma once

#include "case/CaseInfo.h"
#include "edit/CaseEdit.h"

// Sets the case information from the values before and after the change.
class CaseInfoEdit : public CaseEdit {
public:
    CaseInfoEdit(std::string name, CaseInfo before, CaseInfo after);

    void Apply(Case& theCase) const override;
    void Revert(Case& theCase) const override;

private:
    CaseInfo before;
    CaseInfo after;
};
