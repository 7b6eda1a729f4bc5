#pragma once

#include <cstdint>
#include <vector>

// Gives each distinct position a vertex number (1, 2, ... in order of first appearance), as an
// indexed mesh needs when a format such as STL stores every triangle's corners on their own.
// Positions are the same when their bits are the same, except that -0 and +0 are one place.
// An open-addressing table of vertex numbers over the positions seen so far: no allocation per
// position, so millions of corners weld in a fraction of the time a node-based map takes.
class PositionWelder {
public:
    struct Position {
        float x, y, z;
    };

    // `expectedCorners` sizes the table for a closed mesh (about one vertex per six corners); it
    // grows when more positions turn out to be distinct.
    explicit PositionWelder(std::size_t expectedCorners);

    // The vertex number of `p`; `added` tells whether it is a new vertex (then it is Count()).
    uint32_t Weld(Position p, bool& added);
    uint32_t Count() const { return static_cast<uint32_t>(positions.size()); }
    // The distinct positions in vertex order (vertex n is entry n - 1), -0 written as +0.
    const std::vector<Position>& Positions() const { return positions; }

private:
    static uint64_t Hash(const Position& p);
    static bool SameBits(const Position& a, const Position& b);
    // The slot holding `p`'s vertex number, or the empty slot where it belongs.
    std::size_t Slot(const Position& p) const;
    void Grow();

    std::vector<uint32_t> slots; // 0: empty; else a vertex number
    std::size_t mask = 0;
    std::vector<Position> positions;
};
