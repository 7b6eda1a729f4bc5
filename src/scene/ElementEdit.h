#pragma once

#include "scene/SceneEdit.h"
#include "scene/VkElement.h"

// Sets every field of one element (position, extents, angles, colour, text) from a value captured
// before and after the change.
class ElementEdit : public SceneEdit {
public:
    ElementEdit(std::string name, int index, VkElement before, VkElement after);

    void Apply(Universe& scene) const override;
    void Revert(Universe& scene) const override;

private:
    int index;
    VkElement before;
    VkElement after;
};
