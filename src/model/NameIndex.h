#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// Finds names in constant time: each name maps to the position of its first occurrence. Keys are
// copies, so the index stays valid while the named things move.
class NameIndex {
public:
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
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>()(text);
        }
    };
    std::unordered_map<std::string, uint32_t, Hash, std::equal_to<>> positions_;
};
