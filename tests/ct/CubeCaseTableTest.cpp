#include "ct/CubeCaseTable.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

namespace {

bool CubeTableEdgeCrossed(int insideCorners, int edge) {
    return ((insideCorners >> CubeCaseTable::EdgeStart(edge)) & 1) !=
           ((insideCorners >> CubeCaseTable::EdgeEnd(edge)) & 1);
}

// Whether two cube edges lie on one face of the cube.
bool CubeTableEdgesShareFace(int edgeA, int edgeB) {
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            const auto onFace = [axis, side](int edge) {
                return CubeCaseTable::EdgeAxis(edge) != axis &&
                       ((CubeCaseTable::EdgeStart(edge) >> axis) & 1) == side;
            };
            if (onFace(edgeA) && onFace(edgeB)) {
                return true;
            }
        }
    }
    return false;
}

TEST(CubeCaseTable, EdgesJoinNeighbouringCorners) {
    std::set<std::pair<int, int>> seen;
    for (int edge = 0; edge < 12; ++edge) {
        const int start = CubeCaseTable::EdgeStart(edge), end = CubeCaseTable::EdgeEnd(edge);
        EXPECT_EQ(start ^ end, 1 << CubeCaseTable::EdgeAxis(edge));
        EXPECT_EQ(start & (1 << CubeCaseTable::EdgeAxis(edge)), 0);
        EXPECT_TRUE(seen.insert({start, end}).second) << "edge " << edge << " repeats another";
    }
}

TEST(CubeCaseTable, EveryCaseCutsItsCrossedEdgesIntoClosedFans) {
    const CubeCaseTable& table = CubeCaseTable::Get();
    for (int inside = 0; inside < 256; ++inside) {
        SCOPED_TRACE(inside);
        const CubeCase& cube = table[inside];
        std::set<int> used;
        // Sides inside the cube are shared by two of its triangles, run both ways; a side on a
        // face is the cut across that face, met once here and once in the cube beyond, so a side
        // across a face run both ways here would be a third and fourth triangle at that edge.
        std::map<std::pair<int, int>, int> sides;
        for (int t = 0; t < cube.triangleCount; ++t) {
            for (int corner = 0; corner < 3; ++corner) {
                const int from = cube.triangles[t][corner],
                          to = cube.triangles[t][(corner + 1) % 3];
                ASSERT_TRUE(CubeTableEdgeCrossed(inside, from)) << "a vertex on an uncut edge";
                used.insert(from);
                ++sides[{from, to}];
            }
        }
        for (const auto& [side, count] : sides) {
            EXPECT_EQ(count, 1);
            const bool onFace = CubeTableEdgesShareFace(side.first, side.second);
            EXPECT_EQ(sides.count({side.second, side.first}), onFace ? 0u : 1u)
                << "edges " << side.first << " and " << side.second;
        }
        int crossed = 0;
        for (int edge = 0; edge < 12; ++edge) {
            crossed += CubeTableEdgeCrossed(inside, edge) ? 1 : 0;
        }
        EXPECT_EQ(static_cast<int>(used.size()), crossed) << "a cut edge has no vertex";
        // Only the empty and the full cube have no triangles.
        EXPECT_EQ(cube.triangleCount == 0, inside == 0 || inside == 255);
    }
}

} // namespace
