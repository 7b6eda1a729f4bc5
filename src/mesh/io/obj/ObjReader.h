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

// The text of a material library, or nothing; then `reason`, when not empty, says why it was not
// read (for example "it lies outside the model's folder").
struct MtlLibraryText {
    // A source may answer with the text or nothing alone.
    MtlLibraryText(std::optional<std::string> libraryText = std::nullopt)
        : text(std::move(libraryText)) {}
    static MtlLibraryText Refused(std::string reason);

    std::optional<std::string> text;
    std::string reason;
};

// Supplies a material library by its path: the model's folder (as the model's path gives it)
// followed by the name the model gives.
using MtlTextSource = std::function<MtlLibraryText(const std::string& path)>;

// Reads an OBJ file and the material libraries it names, which are read only when they are
// regular files in the model's folder or below it. On failure `error` holds one line without a
// line break, for example: Read Obj failed: can't open data file "x.obj".
ObjReadResult ReadObj(const std::string& path);

// The same, reporting the fraction of the file read so far (0 to 1) as reading advances.
ObjReadResult ReadObjWithProgress(const std::string& path,
                                  const std::function<void(double fraction)>& onProgress);

// The same on a file its caller has already opened (as the import does to tell the format); with
// `digest`, the mesh carries the SHA-256 of the bytes read.
ObjReadResult ReadObjFromFile(RegularFile file, const std::string& path, bool digest,
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
