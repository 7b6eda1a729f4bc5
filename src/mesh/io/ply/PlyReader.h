#pragma once

#include "base/Status.h"
#include "mesh/Mesh.h"
#include "mesh/io/ImportProgress.h"

#include <string_view>

// Reads a Stanford PLY model (ASCII, or binary in either byte order) into an empty mesh: the
// positions, per-vertex colours and texture coordinates when the file has them, and its faces,
// polygons split into fans of triangles. Other elements and properties are skipped. A failure
// says what is wrong; the mesh is then incomplete and must be dropped.
Status ReadPly(std::string_view bytes, Mesh& mesh, ImportProgress& progress);
