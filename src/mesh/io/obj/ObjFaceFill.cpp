#include "mesh/io/obj/ObjFaceFill.h"

namespace {

struct ElementKind {
    const char* one;
    const char* many;
};
constexpr ElementKind kKinds[] = {
    {"vertex", "vertices"}, {"texture coordinate", "texture coordinates"}, {"normal", "normals"}};

bool Resolve(long long raw, uint32_t readSoFar, uint32_t total, int kind, ObjIndexFault& fault,
             uint32_t& index) {
    const long long resolved = raw < 0 ? static_cast<long long>(readSoFar) + 1 + raw : raw;
    if (raw == 0 || resolved < 1 || resolved > static_cast<long long>(total)) {
        fault.raw = raw;
        fault.readSoFar = readSoFar;
        fault.total = total;
        fault.kind = kind;
        return false;
    }
    index = static_cast<uint32_t>(resolved - 1);
    return true;
}

} // namespace

std::string DescribeIndexFault(const ObjIndexFault& fault, std::size_t lineNumber,
                               std::string_view path) {
    const ElementKind& kind = kKinds[fault.kind];
    const std::string where = "Read Obj failed: line " + std::to_string(lineNumber) + " of \"" +
                              std::string(path) + "\" names " + kind.one + " " +
                              std::to_string(fault.raw);
    if (fault.raw == 0) {
        return where + ", but indices start at 1.";
    }
    if (fault.raw < 0) {
        return where + ", but only " + std::to_string(fault.readSoFar) + " " + kind.many +
               " come before it.";
    }
    return where + ", but the file has " + std::to_string(fault.total) + " " + kind.many + ".";
}

bool ResolveObjCorner(const FaceCorner& corner, CornerForm form, const ObjElementCounts& readSoFar,
                      const ObjElementCounts& total, ObjIndexFault& fault, uint32_t (&out)[3]) {
    out[0] = out[1] = out[2] = kNoIndex;
    if (!Resolve(corner.vertex, readSoFar.vertices, total.vertices, 0, fault, out[0])) {
        return false;
    }
    const bool hasTexCoord =
        form == CornerForm::VertexTexCoord || form == CornerForm::VertexTexCoordNormal;
    const bool hasNormal =
        form == CornerForm::VertexNormal || form == CornerForm::VertexTexCoordNormal;
    if (hasTexCoord &&
        !Resolve(corner.texCoord, readSoFar.texCoords, total.texCoords, 1, fault, out[1])) {
        return false;
    }
    return !hasNormal || Resolve(corner.normal, readSoFar.normals, total.normals, 2, fault, out[2]);
}
