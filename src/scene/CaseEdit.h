#pragma once

#include "scene/CaseContents.h"
#include "scene/SceneEdit.h"

// Sets the whole case from contents captured before and after a change that touches much of it
// ("Delete all", reading a data file, replacing the body).
class CaseEdit : public SceneEdit {
public:
    CaseEdit(std::string name, CaseContents before, CaseContents after);

    void Apply(Universe& scene) const override;
    void Revert(Universe& scene) const override;

private:
    CaseContents before;
    CaseContents after;
};
