#pragma once

#include "base/Status.h"
#include "mesh/Mesh.h"
#include "mesh/io/obj/ObjReader.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

// What both readings of an OBJ text work from.
struct ObjPassInput {
    std::string_view text;
    std::string_view givenPath; // the path as the caller gave it, for messages
    const MtlTextSource& mtlSource;
    const std::function<void(double fraction)>& onProgress; // may be empty
};

// Counts the statements, creates the groups and reads the material library; stores the counts
// and gives each group room for exactly the triangles it will receive.
Status CountObjStatements(Mesh& mesh, const ObjPassInput& input);

// Fills the arrays allocated from the first pass's counts, assigns the groups' materials and
// computes the boxes. Refuses indices that name no element.
Status FillObjArrays(Mesh& mesh, const ObjPassInput& input);

// The refusal of a file whose text differs between the two readings.
std::string ObjChangedMessage(std::string_view givenPath);

// Indices are 32-bit and arrays hold three floats per entry plus the unused entry 0.
constexpr uint64_t kMaxObjCount = std::numeric_limits<int32_t>::max() / 4;

// A refusal of the file: the reason goes to the error stream as well.
Status RefuseObj(const std::string& message);

// A v statement of an unknown kind (such as vp): the message goes to the output stream.
Status ObjUnknownToken(std::string_view word);

std::string ObjTooLargeMessage(std::string_view givenPath);
