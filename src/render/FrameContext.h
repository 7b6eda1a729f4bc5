#pragma once

class BitmapFont;
class DrawnConeCache;
class MeshDrawCache;
class PosedCase;
class ShapeListCache;
class ViewState;
struct ArrowModels;

// What one frame or selection pass draws from: the posed case (the case itself is
// `posed.GetCase()`), what the user looks at, the arrows the trajectories are drawn with, and
// the renderer's font and display-list caches (without a cache, shapes and meshes are sent in
// immediate mode).
struct FrameContext {
    const PosedCase& posed;
    const ViewState& view;
    const BitmapFont& font;
    const ArrowModels* arrows = nullptr; // without them no arrow is drawn, only its label
    MeshDrawCache* meshes = nullptr;
    ShapeListCache* shapes = nullptr;
    DrawnConeCache* cones = nullptr; // without it, cones are drawn afresh
};
