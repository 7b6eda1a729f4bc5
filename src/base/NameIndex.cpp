#include "base/NameIndex.h"

uint32_t NameIndex::Add(std::string_view name, uint32_t position) {
    if (const auto found = positions_.find(name); found != positions_.end()) {
        return found->second;
    }
    positions_.emplace(names_.emplace_back(name), position);
    return position;
}

std::optional<uint32_t> NameIndex::Find(std::string_view name) const {
    const auto found = positions_.find(name);
    if (found == positions_.end()) {
        return std::nullopt;
    }
    return found->second;
}
