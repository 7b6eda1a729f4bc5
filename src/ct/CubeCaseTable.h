#pragma once

#include <array>
#include <cstdint>

// The triangles of a cube of the grid, by which of its eight corners lie inside the surface: the
// marching cubes' case table, derived here from the cube's geometry rather than written out.
//
// Corner c of a cube sits at (c & 1, c >> 1 & 1, c >> 2 & 1) along the grid's (i, j, k) axes; case
// bit c is set when corner c lies inside. Edge e runs along axis e / 4 from the corner that has
// that axis' bit clear and the other two axes' bits taken from e % 4 (the next axis' bit first).
//
// Where the surface crosses a face of the cube depends on that face's four corners only: a face
// with two inside corners on one diagonal is cut so that its inside corners stay apart. Both cubes
// beside a face therefore cut it alike, and the triangles of neighbouring cubes meet edge to edge:
// the surface is closed, and every edge of it is shared by exactly two triangles. Each cube's cut
// lines close into polygons, split into triangles without any edge across a face of the cube (an
// edge there could be made again by the cube beyond that face).
struct CubeCase {
    // Cube edges, wound so that the triangle faces away from the inside corners when the grid's
    // axes form a right-handed frame.
    std::array<std::array<uint8_t, 3>, 12> triangles{};
    uint8_t triangleCount = 0;
};

class CubeCaseTable {
public:
    // The table, built on first use.
    static const CubeCaseTable& Get();

    const CubeCase& operator[](int insideCorners) const { return cases_[insideCorners & 255]; }

    // The corners edge e joins, the first with the edge's axis bit clear.
    static int EdgeStart(int edge);
    static int EdgeEnd(int edge) { return EdgeStart(edge) | 1 << EdgeAxis(edge); }
    static int EdgeAxis(int edge) { return edge / 4; }

private:
    CubeCaseTable();

    std::array<CubeCase, 256> cases_{};
};
