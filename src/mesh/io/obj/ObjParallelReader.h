#pragma once

#include "mesh/io/obj/ObjReader.h"
#include "mesh/io/obj/ObjSource.h"

#include <cstddef>
#include <functional>
#include <string>

// How the text is split: `stretches` pieces (0: a few per processor core, one for small texts),
// files read in windows of about `windowBytes`.
struct ObjParallelOptions {
    unsigned stretches = 0;
    std::size_t windowBytes = std::size_t{1} << 18;
    bool digest = true; // take the SHA-256 of the text read (Mesh::sourceSha256)
};

// Reads a model in the same two readings as the sequential reader, each split across threads:
// the text is cut where statements start on lines of their own; the first reading counts each
// stretch; the counts, added up in text order, give every stretch the places it writes to (and
// the base of its negative indices); the second reading fills the stretches in parallel. The
// result, messages included, is the same as the sequential reader's. `onProgress` runs on the
// calling thread.
ObjReadResult ReadObjInParallel(const ObjSource& source, const std::string& path,
                                const MtlTextSource& mtlSource,
                                const std::function<void(double)>& onProgress,
                                const ObjParallelOptions& options = {});
