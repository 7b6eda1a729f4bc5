#pragma once

#include "base/Status.h"
#include "mesh/io/off/OffLineCursor.h"

#include <cstdint>

// The start of an OFF file: the keyword, whose prefixes say what each vertex line carries
// ("ST" texture coordinates, "C" a colour, "N" a normal, "4" a fourth, homogeneous coordinate,
// "n" a dimension other than three, which we do not take), then the vertex, face and edge counts,
// on the keyword's line or the next.
struct OffHeader {
    bool texCoords = false;
    bool colors = false;
    bool normals = false;
    bool homogeneous = false;
    uint64_t vertexCount = 0;
    uint64_t faceCount = 0;

    // The numbers each vertex line starts with: position (and w), then its normal.
    std::size_t FixedVertexValues() const { return (homogeneous ? 4 : 3) + (normals ? 3 : 0); }

    // Reads the header from the cursor, which then stands before the first vertex line.
    static Status Parse(OffLineCursor& lines, OffHeader& header);
};
