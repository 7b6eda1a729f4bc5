// Casting rays against the body's surface as it is drawn.
#include "case/Body.h"

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
