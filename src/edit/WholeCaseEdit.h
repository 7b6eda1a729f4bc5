#pragma once

#include "edit/CaseContents.h"
#include "edit/CaseEdit.h"

// Sets the whole case from contents captured before and after a change that touches much of it
// ("Delete all", reading a data file, replacing the body).
class WholeCaseEdit : public CaseEdit {
public:
    WholeCaseEdit(std::string name, CaseContents before, CaseContents after);

    void Apply(Case& theCase) const override;
    void Revert(Case& theCase) const override;
    bool Renumbers() const override { return true; }

private:
    CaseContents before;
    CaseContents after;
};
