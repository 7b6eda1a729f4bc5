#include "scene/ElementEdit.h"

#include "scene/Universe.h"

#include <utility>

ElementEdit::ElementEdit(std::string name, int index, VkElement before, VkElement after)
    : SceneEdit(std::move(name)), index(index), before(std::move(before)), after(std::move(after)) {
}

void ElementEdit::Apply(Universe& scene) const {
    if (VkElement* element = scene.GetElements().GetItem(index)) {
        *element = after;
    }
}

void ElementEdit::Revert(Universe& scene) const {
    if (VkElement* element = scene.GetElements().GetItem(index)) {
        *element = before;
    }
}
