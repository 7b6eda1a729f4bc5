#include "case/ElementListEdit.h"

#include "case/Case.h"

#include <memory>
#include <utility>

ElementListEdit::ElementListEdit(std::string name, Kind kind, int index, Element element)
    : CaseEdit(std::move(name)), kind(kind), index(index), element(std::move(element)) {}

void ElementListEdit::Apply(Case& scene) const {
    kind == Kind::Add ? Insert(scene) : Remove(scene);
}

void ElementListEdit::Revert(Case& scene) const {
    kind == Kind::Add ? Remove(scene) : Insert(scene);
}

void ElementListEdit::Insert(Case& scene) const {
    scene.GetElements().Insert(index, std::make_unique<Element>(element));
    scene.ClearSelection(); // numbers after the position have moved
}

void ElementListEdit::Remove(Case& scene) const {
    scene.GetElements().Delete(index);
    scene.ClearSelection();
}
