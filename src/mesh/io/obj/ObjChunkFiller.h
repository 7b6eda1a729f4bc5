#pragma once

#include "mesh/Mesh.h"
#include "mesh/io/obj/ObjChunkCounter.h"
#include "mesh/io/obj/ObjFaceFill.h"
#include "mesh/io/obj/ObjReadProgress.h"
#include "mesh/io/obj/ObjSource.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Where one stretch of the text writes into the mesh, worked out from the counts of the
// stretches before it.
struct ObjChunkPlan {
    ObjElementCounts base;     // elements read before the stretch
    ObjElementCounts total;    // elements in the whole text
    uint32_t triangleBase = 0; // the stretch's first triangle
    uint32_t leadingGroup = 0; // the group current where the stretch starts (into mesh.groups)
    uint32_t leadingStart = 0; // its first slot in that group's triangleIndices
    std::vector<uint32_t> groupPositions; // per local group: its place in mesh.groups
    std::vector<uint32_t> groupStarts;    // per local group: its first slot in triangleIndices
};

// Why the second reading of a stretch stopped.
struct ObjChunkFault {
    std::optional<std::size_t> offset; // where; empty when the stretch was read through
    bool badIndex = false;             // a face index naming no element; else the text changed
    ObjIndexFault index;
};

// Fills the stretch's share of the arrays allocated from the counts, reading a file through
// `windowBuffer`.
void FillObjChunk(const ObjSource& source, std::size_t windowBytes, std::string& windowBuffer,
                  const ObjChunkCount& count, const ObjChunkPlan& plan, Mesh& mesh,
                  ObjChunkFault& fault, ObjReadProgress& progress);
