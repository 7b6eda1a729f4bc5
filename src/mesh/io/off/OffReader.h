#pragma once

#include "base/Status.h"
#include "mesh/Mesh.h"
#include "mesh/io/ImportProgress.h"

#include <string_view>

// Reads an Object File Format model (OFF, COFF, NOFF, STOFF, 4OFF and their combinations, as
// text) into an empty mesh: the positions, per-vertex colours and texture coordinates when the
// header announces them, and the faces, polygons of any number of corners split into fans of
// triangles. Per-face colours and vertex normals are not kept. A failure says what is wrong; the
// mesh is then incomplete and must be dropped.
Status ReadOff(std::string_view bytes, Mesh& mesh, ImportProgress& progress);
