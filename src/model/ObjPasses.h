#pragma once

#include "model/Mesh.h"
#include "model/ObjReader.h"
#include "model/Status.h"

#include <functional>
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
Status glmFirstPass(Mesh& mesh, const ObjPassInput& input);

// Fills the arrays allocated from the first pass's counts, assigns the groups' materials and
// computes the boxes. Refuses indices that name no element.
Status glmFillPass(Mesh& mesh, const ObjPassInput& input);
