#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

// The first entry whose values are not all finite numbers, or none.
template <typename Entry, typename IsFiniteEntry>
std::optional<std::size_t> FirstNonFiniteEntry(const std::vector<Entry>& entries,
                                               const IsFiniteEntry& isFinite) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!isFinite(entries[i])) {
            return i;
        }
    }
    return std::nullopt;
}

template <std::size_t N> bool AllFinite(const std::array<float, N>& values) {
    return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}
