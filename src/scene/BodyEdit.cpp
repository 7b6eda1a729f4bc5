#include "scene/BodyEdit.h"

#include "scene/Universe.h"

#include <utility>

BodyEdit::BodyEdit(std::string name, Body before, Body after)
    : SceneEdit(std::move(name)), before(std::move(before)), after(std::move(after)) {}

void BodyEdit::Apply(Universe& scene) const {
    scene.GetBody() = after;
}

void BodyEdit::Revert(Universe& scene) const {
    scene.GetBody() = before;
}
