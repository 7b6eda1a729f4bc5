#include "scene/CaseEdit.h"

#include <utility>

CaseEdit::CaseEdit(std::string name, CaseContents before, CaseContents after)
    : SceneEdit(std::move(name)), before(std::move(before)), after(std::move(after)) {}

void CaseEdit::Apply(Universe& scene) const {
    after.RestoreInto(scene);
}

void CaseEdit::Revert(Universe& scene) const {
    before.RestoreInto(scene);
}
