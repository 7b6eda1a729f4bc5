#pragma once

#include <cstddef>

// The user names trajectories and elements by number, 1 for the first, in the order the case
// holds them; the case keeps them in vectors. These two are the one place where such a number
// and a position in a vector meet.
inline constexpr std::size_t IndexOfNumber(int number) {
    return static_cast<std::size_t>(number - 1);
}
inline constexpr int NumberOfIndex(std::size_t index) {
    return static_cast<int>(index) + 1;
}
