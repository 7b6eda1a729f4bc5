#include "mesh/io/ImportBudget.h"

#include "mesh/Mesh.h"

#include <algorithm>
#include <limits>

namespace {

constexpr uint64_t kTriangleBytes = sizeof(MeshTriangle) + sizeof(uint32_t);

std::string Megabytes(uint64_t bytes) {
    return std::to_string((bytes + (uint64_t{1} << 20) - 1) >> 20) + " MB";
}

} // namespace

ImportBudget::ImportBudget(uint64_t inputBytes, uint64_t bytesPerInputByte) {
    const uint64_t most = std::numeric_limits<uint64_t>::max();
    const uint64_t perInput = inputBytes > (most - kFixedBytes) / bytesPerInputByte
                                  ? most - kFixedBytes
                                  : inputBytes * bytesPerInputByte;
    limit = kFixedBytes + perInput;
}

uint64_t ImportBudget::MeshBytes(uint64_t vertices, uint64_t triangles, bool colors,
                                 bool texCoords) {
    // Counts come from files: saturate rather than wrap, so that a huge count stays huge.
    constexpr uint64_t kCap = uint64_t{1} << 56;
    const uint64_t vertexBytes = 12 + (colors ? 16 : 0) + (texCoords ? 8 : 0);
    return std::min(vertices, kCap) * vertexBytes + std::min(triangles, kCap) * kTriangleBytes;
}

std::string ImportBudget::TooLarge(const std::string& what, uint64_t bytes) const {
    return what + " would take " + Megabytes(bytes) + " of memory, more than a file of its size " +
           "may make (" + Megabytes(limit) + ")";
}
