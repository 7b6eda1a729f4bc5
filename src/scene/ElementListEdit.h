#pragma once

#include "scene/SceneEdit.h"
#include "scene/VkElement.h"

// Adds an element at a list position or removes the one there, renumbering the later ones as the
// list does. The element's whole value is kept; either way the selection is cleared.
class ElementListEdit : public SceneEdit {
public:
    enum class Kind { Add, Remove };

    ElementListEdit(std::string name, Kind kind, int index, VkElement element);

    void Apply(Universe& scene) const override;
    void Revert(Universe& scene) const override;

private:
    void Insert(Universe& scene) const;
    void Remove(Universe& scene) const;

    Kind kind;
    int index;
    VkElement element;
};
