#pragma once

#include "base/RegularFile.h"
#include "mesh/Mesh.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The result of reading a Wavefront model: a mesh, or the reason it could not be read (the same
// text the reader prints on its console stream).
struct ObjReadResult {
    std::unique_ptr<Mesh> mesh;
    std::string error;
};

// Supplies the text of a material library by its path; nothing when it cannot be opened.
using MtlTextSource = std::function<std::optional<std::string>(const std::string& path)>;

// Reads an OBJ file and the material library it names. On failure `error` holds one line without
// a line break, for example: Read Obj failed: can't open data file "x.obj".
ObjReadResult ReadObj(const std::string& path);

// The same, reporting the fraction of the file read so far (0 to 1) as reading advances.
ObjReadResult ReadObjWithProgress(const std::string& path,
                                  const std::function<void(double fraction)>& onProgress);

// The same on a file its caller has already opened (as the import does to tell the format).
ObjReadResult ReadObjFromFile(RegularFile file, const std::string& path,
                              const std::function<void(double fraction)>& onProgress);

// The refusal of a model file that cannot be opened: Read Obj failed: can't open data file "x".
std::string ObjOpenFailureMessage(const std::string& path);

// Reading splits the text across the processor's cores and gives the same mesh, and the same
// messages, as reading it in one stretch. A model file must be a regular file (a FIFO or a
// device is refused as a file that cannot be opened); a file that changes while it is read is
// refused with "... changed while it was read.".

// Reads OBJ text held in memory; `path` plays the role of the file's path (it decides where the
// material library is looked for) and `mtlSource` supplies the libraries.
ObjReadResult ReadObjFromMemory(std::string_view objText, const std::string& path,
                                const MtlTextSource& mtlSource);
