#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// Finds names in constant time: each name maps to the position of its first occurrence. The
// index keeps its own copies of the names (in a deque, whose elements never move), so it stays
// valid while the named things move.
class NameIndex {
public:
    NameIndex() = default;
    NameIndex(NameIndex&&) = default;
    NameIndex& operator=(NameIndex&&) = default;
    NameIndex(const NameIndex&) = delete;
    NameIndex& operator=(const NameIndex&) = delete;

    // Records `name` at `position` unless it is already known; returns the position it maps to.
    uint32_t Add(std::string_view name, uint32_t position);

    std::optional<uint32_t> Find(std::string_view name) const;

    std::size_t Size() const { return positions_.size(); }

    // Builds the index of a list of named things (groups, materials) in list order.
    template <typename Range> static NameIndex Of(const Range& named) {
        NameIndex index;
        uint32_t position = 0;
        for (const auto& each : named) {
            index.Add(each.name, position++);
        }
        return index;
    }

private:
    std::deque<std::string> names_;
    std::unordered_map<std::string_view, uint32_t> positions_; // keys view names_
};
