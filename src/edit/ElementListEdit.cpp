#include "edit/ElementListEdit.h"

#include "case/Case.h"

#include <memory>
#include <utility>

ElementListEdit::ElementListEdit(std::string name, Kind kind, int index, Element element)
    : CaseEdit(std::move(name)), kind(kind), index(index), element(std::move(element)) {}

void ElementListEdit::Apply(Case& theCase) const {
    kind == Kind::Add ? Insert(theCase) : Remove(theCase);
}

void ElementListEdit::Revert(Case& theCase) const {
    kind == Kind::Add ? Remove(theCase) : Insert(theCase);
}

void ElementListEdit::Insert(Case& theCase) const {
    theCase.GetElements().Insert(index, std::make_unique<Element>(element));
}

void ElementListEdit::Remove(Case& theCase) const {
    theCase.GetElements().Delete(index);
}
