#include "casefile/SceneLineWriter.h"

#include "base/NumberText.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "case/CaseText.h"
#include "case/EntryNumber.h"
#include "casefile/LineText.h"

namespace {

using line_text::AppendValueLine;

// Lengths in metres with four decimals and angles with two, as every other line of the file.
std::string Length(double metres) {
    return FormatFixed(metres, 0, 4);
}

std::string PlacementValue(const ScenePlacement& placement) {
    return Length(placement.x) + " " + Length(placement.y) + " " + Length(placement.z) + " " +
           FormatFixed(placement.heading, 0, 2);
}

// A height in centimetres with at most two decimals and no trailing zeros: "150", "97.5".
std::string Centimetres(double metres) {
    std::string text = FormatFixed(metres * 100, 0, 2);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

bool SceneIsDefault(const CaseWorld& world) {
    return world.sceneModelFile.empty() && world.scene.IsIdentity() &&
           world.muzzleHeights == CaseWorld::DefaultMuzzleHeights();
}

} // namespace

void AppendBodyPlacementLine(std::string& out, const Case& theCase, std::string_view lineEnd) {
    const ScenePlacement& placement = theCase.world.body;
    if (!placement.IsIdentity()) {
        AppendValueLine(out, "   ", "placement", PlacementValue(placement), lineEnd);
    }
}

void AppendTrajectoryWorldLines(std::string& out, const Trajectory& trajectory,
                                std::string_view lineEnd) {
    for (const ExteriorPoint& exterior : trajectory.exterior) {
        AppendValueLine(out, "  ", "exterior",
                        Length(exterior.point.x) + " " + Length(exterior.point.y) + " " +
                            Length(exterior.point.z) +
                            (exterior.beforeEntry ? " before" : " after"),
                        lineEnd);
        // Only a radius of its own: a file of default points is what earlier versions wrote,
        // and they skip this line.
        if (exterior.radius != ExteriorPoint::kDefaultRadius) {
            AppendValueLine(out, "  ", "exteriorradius", Length(exterior.radius), lineEnd);
        }
    }
    if (!trajectory.group.empty()) {
        AppendValueLine(out, "  ", "group", EscapeText(trajectory.group), lineEnd);
    }
}

void AppendSceneBlock(std::string& out, const Case& theCase, std::string_view modelName,
                      std::string_view lineEnd) {
    const CaseWorld& world = theCase.world;
    if (SceneIsDefault(world)) {
        return;
    }
    out.append(lineEnd).append("<scene>").append(lineEnd);
    if (!world.sceneModelFile.empty()) {
        AppendValueLine(out, "  ", "model", EscapeText(modelName), lineEnd);
    }
    if (!world.scene.IsIdentity()) {
        AppendValueLine(out, "  ", "placement", PlacementValue(world.scene), lineEnd);
    }
    std::string heights;
    for (const double height : world.muzzleHeights) {
        heights += (heights.empty() ? "" : " ") + Centimetres(height);
    }
    AppendValueLine(out, "  ", "muzzleheights", heights, lineEnd);
    out.append("</scene>").append(lineEnd);
}

std::string SceneTextTooLong(const Case& theCase) {
    if (!CaseTextFits(theCase.world.sceneModelFile)) {
        return "the path of the scene model";
    }
    for (std::size_t i = 0; i < theCase.trajectories.size(); ++i) {
        if (!CaseTextFits(theCase.trajectories[i].group)) {
            return "the shot group of trajectory " + std::to_string(NumberOfIndex(i));
        }
    }
    return {};
}
