#include "body/BodyReferencePlanes.h"

#include "body/Body.h"

#include <algorithm>
#include <limits>

Vec3 BodyReferencePlanes::Describe(const Vec3& point) const {
    return {point.x - midlineX, point.y - solesY, point.z - backZ};
}

Vec3 BodyReferencePlanes::Place(const Vec3& description) const {
    return {description.x + midlineX, description.y + solesY, description.z + backZ};
}

// Measured on the vertices the body is drawn from, taken into the body frame as the drawing
// takes them, so that a model whose box holds unused vertices or was fitted by other rules still
// gives the planes of its surface.
std::optional<BodyReferencePlanes> ReferencePlanesOf(const Body& body) {
    const Mesh* mesh = body.GetModel();
    if (mesh == nullptr || mesh->positions.empty()) {
        return std::nullopt;
    }
    constexpr double kHuge = std::numeric_limits<double>::max();
    double lowY = kHuge, lowZ = kHuge, lowX = kHuge, highX = -kHuge;
    const Vec3 toRest = body.MeshToRest();
    for (const Vec3f& vertex : mesh->positions) {
        const Vec3 rest{vertex.x + toRest.x, vertex.y + toRest.y, vertex.z + toRest.z};
        const Vec3 point = body.FromRest(rest);
        lowY = std::min(lowY, point.y);
        lowZ = std::min(lowZ, point.z);
        lowX = std::min(lowX, point.x);
        highX = std::max(highX, point.x);
    }
    return BodyReferencePlanes{lowY, lowZ, 0.5 * (lowX + highX)};
}
