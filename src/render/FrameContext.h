#pragma once

class BitmapFont;
class Case;
class DrawnConeCache;
class MeshDrawCache;
class ShapeListCache;
class ViewState;

// What one frame or selection pass draws from: the case, what the user looks at, and the
// renderer's font and display-list caches (without a cache, shapes and meshes are sent in
// immediate mode).
struct FrameContext {
    const Case& theCase;
    const ViewState& view;
    const BitmapFont& font;
    MeshDrawCache* meshes = nullptr;
    ShapeListCache* shapes = nullptr;
    DrawnConeCache* cones = nullptr; // without it, cones are drawn afresh
};
