#include "scene/VkElementList.h"

#include <utility>

bool VkElementList::Add(std::unique_ptr<VkElement> element) {
    if (!element || count >= kCapacity) {
        return false;
    }
    items[count++] = std::move(element);
    return true;
}

bool VkElementList::Insert(int index, std::unique_ptr<VkElement> element) {
    if (!element || count >= kCapacity || index < 0 || index > count) {
        return false;
    }
    for (int i = count; i > index; --i) {
        items[i] = std::move(items[i - 1]);
    }
    items[index] = std::move(element);
    ++count;
    return true;
}

VkElement* VkElementList::GetItem(int index) {
    return (index >= 0 && index < count) ? items[index].get() : nullptr;
}

const VkElement* VkElementList::GetItem(int index) const {
    return (index >= 0 && index < count) ? items[index].get() : nullptr;
}

void VkElementList::Delete(int index) {
    if (index < 0 || index >= count) {
        return;
    }
    // The survivors keep their order; every later element is renumbered one lower.
    for (int i = index; i + 1 < count; ++i) {
        items[i] = std::move(items[i + 1]);
    }
    --count;
    items[count].reset();
}

void VkElementList::Clear() {
    for (auto& item : items) {
        item.reset();
    }
    count = 0;
}
