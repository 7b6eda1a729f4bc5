#include "mesh/io/stl/PositionWelder.h"

#include "base/LargeArrays.h"

#include <algorithm>
#include <bit>
#include <cstring>

PositionWelder::PositionWelder(std::size_t expectedCorners) {
    // Kept at most half full: twice the expected vertices, at least a small table.
    const std::size_t capacity = std::bit_ceil(std::max<std::size_t>(64, expectedCorners / 3));
    AllocateExactly(slots, capacity, 0u);
    mask = capacity - 1;
    positions.reserve(expectedCorners / 6 + 1);
}

uint64_t PositionWelder::Hash(const Position& p) {
    uint32_t bits[3];
    std::memcpy(bits, &p, sizeof bits);
    uint64_t h = bits[0] * 0x9E3779B97F4A7C15ull;
    h ^= (bits[1] + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
    h ^= (bits[2] + 0x165667B19E3779F9ull) * 0x94D049BB133111EBull;
    return h ^ (h >> 29);
}

bool PositionWelder::SameBits(const Position& a, const Position& b) {
    // Bits, not values, as Hash reads them, so that equal positions hash alike (a NaN finds
    // itself).
    return std::bit_cast<uint32_t>(a.x) == std::bit_cast<uint32_t>(b.x) &&
           std::bit_cast<uint32_t>(a.y) == std::bit_cast<uint32_t>(b.y) &&
           std::bit_cast<uint32_t>(a.z) == std::bit_cast<uint32_t>(b.z);
}

std::size_t PositionWelder::Slot(const Position& p) const {
    std::size_t slot = Hash(p) & mask;
    while (slots[slot] != 0 && !SameBits(positions[slots[slot] - 1], p)) {
        slot = (slot + 1) & mask; // linear probing: neighbours share cache lines
    }
    return slot;
}

uint32_t PositionWelder::Weld(Position p, bool& added) {
    // Adding +0 turns -0 into +0 and leaves every other value as it is.
    p.x += 0.0f;
    p.y += 0.0f;
    p.z += 0.0f;
    std::size_t slot = Slot(p);
    if (slots[slot] != 0) {
        added = false;
        return slots[slot];
    }
    added = true;
    positions.push_back(p);
    const auto number = static_cast<uint32_t>(positions.size());
    if (2 * positions.size() > slots.size()) {
        Grow();
        slot = Slot(p);
    }
    slots[slot] = number;
    return number;
}

void PositionWelder::Grow() {
    AllocateExactly(slots, 2 * slots.size(), 0u);
    mask = slots.size() - 1;
    // Every vertex but the newest goes back in; the caller places the newest.
    for (std::size_t v = 0; v + 1 < positions.size(); ++v) {
        slots[Slot(positions[v])] = static_cast<uint32_t>(v + 1);
    }
}
