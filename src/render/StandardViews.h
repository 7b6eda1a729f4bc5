#pragma once

#include "export/CapturedImage.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class OffscreenRenderer;
class PosedCase;
class ViewState;
struct ArrowModels;

// One standard view of a case, drawn offscreen as the view draws it.
struct StandardView {
    std::string name;    // "front", "profile" or "top"
    std::string caption; // what the picture shows, for a reader of the report
    CapturedImage image; // 32-bit, the bottom row first
};

// Draws the front, profile and top views of the posed case in a headless context of its own, its
// trajectories with `arrows`, with the display switches and selection of `view` (whose camera is
// not used). Returns nothing (and says why in `error`) when no headless context can be made.
std::optional<std::vector<StandardView>>
RenderStandardViews(const PosedCase& posed, const ViewState& view,
                    std::shared_ptr<const ArrowModels> arrows, int width, int height,
                    std::string& error);
// The same, drawn by `offscreen` (whose size and arrows they take).
std::vector<StandardView> RenderStandardViews(const PosedCase& posed, const ViewState& view,
                                              OffscreenRenderer& offscreen);
