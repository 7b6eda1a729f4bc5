#include "case/ElementList.h"

#include <utility>

bool ElementList::Add(std::unique_ptr<Element> element) {
    if (!element || count >= kCapacity) {
        return false;
    }
    items[count++] = std::move(element);
    return true;
}

bool ElementList::Insert(int index, std::unique_ptr<Element> element) {
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

Element* ElementList::GetItem(int index) {
    return (index >= 0 && index < count) ? items[index].get() : nullptr;
}

const Element* ElementList::GetItem(int index) const {
    return (index >= 0 && index < count) ? items[index].get() : nullptr;
}

void ElementList::Delete(int index) {
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

void ElementList::Clear() {
    for (auto& item : items) {
        item.reset();
    }
    count = 0;
}
