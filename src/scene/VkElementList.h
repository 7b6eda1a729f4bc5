#pragma once

#include "scene/VkElement.h"

#include <array>
#include <memory>

// The scene's elements, dense and in creation order; element n is entry n - 1.
class VkElementList {
public:
    static constexpr int kCapacity = 20;

    virtual ~VkElementList() = default;

    // Appends the element; refuses it (and returns false) when the list is full.
    bool Add(std::unique_ptr<VkElement> element);
    // Puts the element at the 0-based index (0..count); later entries move up one place. Refuses
    // (returns false) when the list is full or the index is out of range.
    bool Insert(int index, std::unique_ptr<VkElement> element);
    int GetCount() const { return count; }
    // The entry at the 0-based index, or nullptr outside 0..count-1 (index -1 means none).
    VkElement* GetItem(int index);
    const VkElement* GetItem(int index) const;
    // Removes the entry; later entries move down one place. An index out of range changes nothing.
    void Delete(int index);
    void Clear();

private:
    int count = 0;
    std::array<std::unique_ptr<VkElement>, kCapacity> items;
};
