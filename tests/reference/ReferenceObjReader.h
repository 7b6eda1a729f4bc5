#pragma once

// The second reading of Wavefront OBJ and MTL text, kept plain on purpose: one thread, two walks
// over the text, a word at a time, and no code shared with the program's reader. Tests,
// benchmarks and the fuzzer check the program's readings against it. It gives the same mesh, the
// same error text and the same warnings to the process's diagnostics sink.
#include "mesh/io/obj/ObjReader.h"

#include <string>
#include <string_view>

// Reads `objText` as the model file `path` (which decides where material libraries are looked
// for); `mtlSource` supplies the libraries' text.
ObjReadResult ReadObjReference(std::string_view objText, const std::string& path,
                               const MtlTextSource& mtlSource);
