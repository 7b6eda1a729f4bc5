#pragma once

#include "mesh/Mesh.h"

#include <memory>

struct FrameContext;

// The bone of a body read from a CT series, drawn inside the skin while the skin is drawn
// transparent: opaque, bone-white and lit, where the scan put it in the body frame, so that it
// moves with the skin. Nothing is drawn for a body model or an opaque skin. A bone surface
// without normals is drawn from a copy with normals of its own, made once per surface.
class CtBonePass {
public:
    // Draws before the transparent skin, so that the skin blends over it.
    void Draw(const FrameContext& frame);

    // The bone-white the surface is drawn in (red, green, blue).
    static constexpr float kBoneColor[3] = {0.93f, 0.90f, 0.82f};

private:
    const Mesh& Drawable(const std::shared_ptr<const Mesh>& bone);

    std::shared_ptr<const Mesh> source;   // the scan's bone the copy was made from
    std::shared_ptr<const Mesh> drawable; // with normals
};
