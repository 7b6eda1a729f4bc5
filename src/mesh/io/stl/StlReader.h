#pragma once

#include "base/Status.h"
#include "mesh/Mesh.h"
#include "mesh/io/ImportProgress.h"

#include <string_view>

// Reads a stereolithography model (ASCII or binary) into an empty mesh. STL repeats every
// corner's position in each triangle; corners at exactly the same position become one vertex, so
// that the normals are smoothed across the surface as for an indexed model.
Status ReadStl(std::string_view bytes, Mesh& mesh, ImportProgress& progress);

// True when the bytes are a binary STL: the triangle count after the 80-byte header matches the
// length exactly (an ASCII file starts with "solid", but so may a binary one's header).
bool IsBinaryStl(std::string_view bytes);
