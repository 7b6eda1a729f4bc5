#pragma once

#include "case/ExteriorPoint.h"
#include "case/ScenePlacement.h"
#include "world/OriginAnalysis.h"

#include <functional>
#include <string>
#include <vector>

class PosedCase;

// What the report says about where the shots came from: the analysis of the case in the scene
// frame, and the scene it was made in.
struct OriginFacts {
    OriginAnalysis analysis;
    std::string sceneModel;            // the file named, empty without a scene model
    std::string sceneModelSha256;      // of the bytes read from it, empty when none were read
    bool sceneRead = false;            // its surfaces limited the zones
    std::vector<double> muzzleHeights; // m
    ScenePlacement body;
    std::vector<std::string> labels;                  // per trajectory
    std::vector<std::vector<ExteriorPoint>> exterior; // per trajectory
    // How the uncertainty budget's draws are carried into the scene (empty without muzzle
    // heights), and what the body's heading and placement sigmas move.
    std::string drawsConvention;
    std::string placementNote;
};

// The origin zones of the posed case, with the scene model's surfaces when the case holds its
// mesh, and how the uncertainty budget's draws reach each muzzle height.
// `options` say how the draws are made (budgetDraws is always on here).
OriginFacts GatherOrigin(const PosedCase& posed, OriginOptions options = {});

// The name of the plan view among the report's images.
inline constexpr const char* kPlanViewImage = "plan-view";

// How the plan view stands in the section: its caption (which says which way the axes run) and
// its width on the page.
struct PlanFigure {
    std::string caption = "The scene seen from above (+X to the right, +Z down the page): the "
                          "body, each back line and each height's zone.";
    int width = 460;
};

// The report's "Origin" section as HTML: its conventions, a table of zones per trajectory, the
// exterior points, the shot groups and the plan view (its src from `imageSource`).
std::string FormatOriginHtml(const OriginFacts& origin,
                             const std::function<std::string(const std::string&)>& imageSource,
                             const PlanFigure& plan = {});
