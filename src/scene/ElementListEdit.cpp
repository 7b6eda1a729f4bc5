#include "scene/ElementListEdit.h"

#include "scene/Universe.h"

#include <memory>
#include <utility>

ElementListEdit::ElementListEdit(std::string name, Kind kind, int index, VkElement element)
    : SceneEdit(std::move(name)), kind(kind), index(index), element(std::move(element)) {}

void ElementListEdit::Apply(Universe& scene) const {
    kind == Kind::Add ? Insert(scene) : Remove(scene);
}

void ElementListEdit::Revert(Universe& scene) const {
    kind == Kind::Add ? Remove(scene) : Insert(scene);
}

void ElementListEdit::Insert(Universe& scene) const {
    scene.GetElements().Insert(index, std::make_unique<VkElement>(element));
    scene.ClearSelection(); // numbers after the position have moved
}

void ElementListEdit::Remove(Universe& scene) const {
    scene.GetElements().Delete(index);
    scene.ClearSelection();
}
