// Casting rays against the body's surface as it is drawn.
#include "body/Body.h"

#include <cmath>

Status Body::PrepareSurface() const {
    const Mesh* drawn = GetPosedModel();
    if (drawn == nullptr) {
        return Status::Failure("No body model is loaded");
    }
    if (surface.caster && surface.caster->IsBuilt() && surface.mesh == drawn &&
        surface.revision == drawn->revision) {
        return Status::Ok();
    }
    surface = {};
    auto caster = std::make_unique<SurfaceRayCaster>();
    Status status = caster->Build(*drawn, drawn->vertices);
    if (!status) {
        return status;
    }
    surface.caster = std::move(caster);
    surface.mesh = drawn;
    surface.revision = drawn->revision;
    return status;
}

std::optional<SurfaceHit> Body::FirstSurfaceHit(const SurfaceRay& ray) const {
    if (!PrepareSurface()) {
        return std::nullopt;
    }
    std::optional<SurfaceHit> hit = surface.caster->Cast(ray, DrawTransform());
    // The named parts (the arm, the forearm) say more than the material a triangle is drawn with.
    if (hit && hit->triangle < modelParts->triangleParts.size()) {
        const uint32_t part = modelParts->triangleParts[hit->triangle];
        if (part < modelParts->names.size()) {
            hit->group = modelParts->names[part];
        }
    }
    return hit;
}

Vec3 Body::RestPointOf(const SurfaceHit& hit) const {
    const Mesh* posed = GetPosedModel();
    const Mesh* rest = model.get();
    if (posed == nullptr || posed == rest || hit.triangle >= rest->triangles.size()) {
        return hit.point;
    }
    const auto& corners = rest->triangles[hit.triangle].vertex;
    for (int32_t v : corners) {
        if (v <= 0 || uint32_t(v) > rest->vertexCount) {
            return hit.point;
        }
    }
    const auto vertex = [](const Mesh& mesh, int32_t v) {
        const float* p = &mesh.vertices[3 * static_cast<size_t>(v)];
        return Vec3{p[0], p[1], p[2]};
    };
    // The hit's barycentric coordinates on the posed triangle, in the mesh's frame.
    const Vec3 p = DrawTransformInverse().TransformPoint(hit.point);
    const Vec3 a = vertex(*posed, corners[0]), b = vertex(*posed, corners[1]),
               c = vertex(*posed, corners[2]);
    const Vec3 ab = Minus(b, a), ac = Minus(c, a), ap = Minus(p, a);
    const auto dot = [](const Vec3& u, const Vec3& w) { return u.x * w.x + u.y * w.y + u.z * w.z; };
    const double d00 = dot(ab, ab), d01 = dot(ab, ac), d11 = dot(ac, ac);
    const double d20 = dot(ap, ab), d21 = dot(ap, ac);
    const double denominator = d00 * d11 - d01 * d01;
    if (!(std::fabs(denominator) > 0)) {
        return DrawTransform().TransformPoint(vertex(*rest, corners[0]));
    }
    const double s = (d11 * d20 - d01 * d21) / denominator;
    const double t = (d00 * d21 - d01 * d20) / denominator;
    const Vec3 ra = vertex(*rest, corners[0]), rb = vertex(*rest, corners[1]),
               rc = vertex(*rest, corners[2]);
    const Vec3 atRest = {ra.x + s * (rb.x - ra.x) + t * (rc.x - ra.x),
                         ra.y + s * (rb.y - ra.y) + t * (rc.y - ra.y),
                         ra.z + s * (rb.z - ra.z) + t * (rc.z - ra.z)};
    return DrawTransform().TransformPoint(atRest);
}
