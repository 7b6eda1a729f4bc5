#pragma once

#include "render/PickNames.h"

struct CtMetalObject;
struct FrameContext;

// The metal objects found in a body read from a CT series, drawn inside the skin while the skin
// is drawn transparent, as the bone is: one steel-blue ball an object at its centroid, as large
// as a ball of the object's volume but never smaller than MarkerRadiusMm, so that a small
// fragment stays in sight. Nothing is drawn for a body model, an opaque skin or a scan without
// metal.
class CtMetalPass {
public:
    // Draws before the transparent skin, so that the skin blends over the balls. In the
    // selection pass each ball carries its object's pick name (pick_names::ForMetal).
    static void Draw(const FrameContext& frame, RenderPass pass = RenderPass::Normal);

    // The radius of an object's ball (mm): that of a ball of its volume, at least kLeastRadiusMm.
    static double MarkerRadiusMm(const CtMetalObject& object);

    static constexpr double kLeastRadiusMm = 3.0;
    // Steel blue: apart from the bone-white, the skin and the trajectories' colours.
    static constexpr float kMetalColor[3] = {0.30f, 0.50f, 0.78f};
};
