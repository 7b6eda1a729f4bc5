// Casting rays against the body's surface.
#include "scene/Body.h"

std::span<const float> Body::SurfacePositions() const {
    return model ? std::span<const float>(model->vertices) : std::span<const float>();
}

Status Body::PrepareSurface() const {
    if (!model) {
        return Status::Failure("No body model is loaded");
    }
    if (surface && surface->IsBuilt()) {
        return Status::Ok();
    }
    surface = std::make_unique<SurfaceRayCaster>();
    Status status = surface->Build(*model, SurfacePositions());
    if (!status) {
        surface.reset();
    }
    return status;
}

std::optional<SurfaceHit> Body::FirstSurfaceHit(const SurfaceRay& ray) const {
    if (!PrepareSurface()) {
        return std::nullopt;
    }
    return surface->Cast(ray, DrawTransform());
}
