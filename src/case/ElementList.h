#pragma once

#include "case/Element.h"

#include <array>
#include <memory>

// The case's elements, dense and in creation order; element n is entry n - 1.
class ElementList {
public:
    static constexpr int kCapacity = 20;

    virtual ~ElementList() = default;

    // Appends the element; refuses it (and returns false) when the list is full.
    bool Add(std::unique_ptr<Element> element);
    // Puts the element at the 0-based index (0..count); later entries move up one place. Refuses
    // (returns false) when the list is full or the index is out of range.
    bool Insert(int index, std::unique_ptr<Element> element);
    int GetCount() const { return count; }
    // The entry at the 0-based index, or nullptr outside 0..count-1 (index -1 means none).
    Element* GetItem(int index);
    const Element* GetItem(int index) const;
    // Removes the entry; later entries move down one place. An index out of range changes nothing.
    void Delete(int index);
    void Clear();

private:
    int count = 0;
    std::array<std::unique_ptr<Element>, kCapacity> items;
};
