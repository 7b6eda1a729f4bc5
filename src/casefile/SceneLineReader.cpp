#include "casefile/SceneLineReader.h"

#include "base/NumberText.h"
#include "base/TextEscaping.h"
#include "base/TextWords.h"
#include "base/Utf8Text.h"
#include "base/ValueLimits.h"
#include "case/CaseWorld.h"
#include "case/Trajectory.h"
#include "casefile/LineText.h"

#include <cmath>

namespace {

using line_text::Contains;
using line_text::LowerCased;
using line_text::Quoted;

// A word is a whole finite number or nothing, as everywhere in the file.
std::optional<double> Number(std::string_view word) {
    return ParseNumberToken(word);
}

const std::string kSceneLimit = "10000"; // m, CaseWorld::kLargestSceneCoordinate

} // namespace

bool SceneLineReader::StoreBodyValue(std::string_view lowered, std::string_view value) {
    if (!Contains(lowered, "<placement>")) {
        return false;
    }
    bodyPlacement = std::string(value);
    return true;
}

bool SceneLineReader::StoreTrajectoryValue(std::string_view lowered, std::string_view value) {
    if (Contains(lowered, "<exterior>")) {
        exteriorTexts.emplace_back(value);
        exteriorRadiusTexts.emplace_back();
        return true;
    }
    // The radius of the exterior point just read; a file of an older version has none and each
    // point keeps the default.
    if (Contains(lowered, "<exteriorradius>")) {
        if (exteriorRadiusTexts.empty()) {
            note("The exterior radius " + Quoted(value) +
                 " left out: it follows no exterior point of its trajectory.");
        } else {
            exteriorRadiusTexts.back() = std::string(value);
        }
        return true;
    }
    if (Contains(lowered, "<group>")) {
        groupText = std::string(value);
        return true;
    }
    return false;
}

bool SceneLineReader::StoreOtherValue(std::string_view lowered, std::string_view value) {
    if (!inScene) {
        return false;
    }
    if (Contains(lowered, "<model>")) {
        sceneModel = std::string(value);
    } else if (Contains(lowered, "<placement>")) {
        scenePlacement = std::string(value);
    } else if (Contains(lowered, "<muzzleheights>")) {
        muzzleHeights = std::string(value);
    }
    return true; // anything else in the scene block is skipped, as unknown lines are
}

bool SceneLineReader::HandleTagLine(std::string_view lowered, long lineNumber,
                                    CaseFileRecord& record) {
    if (Contains(lowered, "</scene>")) {
        if (inScene) {
            inScene = false;
            CaseFileRecord::SceneBlock scene;
            scene.line = sceneLine;
            if (sceneModel) {
                scene.modelFile = UnescapeText(*sceneModel);
            }
            if (scenePlacement) {
                scene.placement = PlacementValue(*scenePlacement, "the scene");
            }
            scene.muzzleHeights = MuzzleHeights();
            NoteSetAgain(scene, record.sceneBlocks);
            record.sceneBlocks.push_back(std::move(scene));
        }
        return true;
    }
    if (Contains(lowered, "<scene>")) {
        inScene = true;
        sceneLine = lineNumber;
        sceneModel.reset();
        scenePlacement.reset();
        muzzleHeights.reset();
        return true;
    }
    return false;
}

// A case has one scene: where two blocks set the same line differently, the later one is taken,
// and what the earlier one said is named rather than dropped in silence (each value once: only
// the last block before that set it is compared).
void SceneLineReader::NoteSetAgain(const CaseFileRecord::SceneBlock& later,
                                   const std::vector<CaseFileRecord::SceneBlock>& earlier) {
    const auto last = [&earlier](auto member) -> const CaseFileRecord::SceneBlock* {
        for (auto block = earlier.rbegin(); block != earlier.rend(); ++block) {
            if ((*block).*member) {
                return &*block;
            }
        }
        return nullptr;
    };
    const auto leftOut = [this, &later](const std::string& what, long line) {
        note(what + " of the scene from line " + std::to_string(line) +
             " left out: the scene from line " + std::to_string(later.line) + " sets another.");
    };
    using Block = CaseFileRecord::SceneBlock;
    if (const Block* model = last(&Block::modelFile);
        model && later.modelFile && *later.modelFile != *model->modelFile) {
        leftOut("The scene model " + Quoted(*model->modelFile), model->line);
    }
    if (const Block* placed = last(&Block::placement);
        placed && later.placement && !(*later.placement == *placed->placement)) {
        leftOut("The placement", placed->line);
    }
    if (const Block* heights = last(&Block::muzzleHeights);
        heights && later.muzzleHeights && *later.muzzleHeights != *heights->muzzleHeights) {
        leftOut("The muzzle heights", heights->line);
    }
}

void SceneLineReader::NoteUnfinishedBlock() {
    if (inScene) {
        note("The scene from line " + std::to_string(sceneLine) +
             " of the data file left out: the file ends before its </scene>.");
    }
}

void SceneLineReader::StartTrajectory() {
    exteriorTexts.clear();
    exteriorRadiusTexts.clear();
    groupText.reset();
}

ScenePlacement SceneLineReader::FinishBody() {
    ScenePlacement placement;
    if (bodyPlacement) {
        placement = PlacementValue(*bodyPlacement, "the body").value_or(ScenePlacement());
    }
    bodyPlacement.reset();
    return placement;
}

void SceneLineReader::FinishTrajectory(Trajectory& trajectory, const std::string& where) {
    trajectory.exterior.clear();
    for (size_t i = 0; i < exteriorTexts.size(); ++i) {
        const std::string& text = exteriorTexts[i];
        std::optional<ExteriorPoint> point = ExteriorValue(text, where);
        if (!point) {
            continue;
        }
        point->radius = ExteriorRadius(exteriorRadiusTexts[i], where);
        if (trajectory.exterior.size() >= Trajectory::kMaxExteriorPoints) {
            note("The exterior " + Quoted(text) + " of " + where +
                 " left out: a trajectory holds at most " +
                 std::to_string(Trajectory::kMaxExteriorPoints) + " exterior points.");
            continue;
        }
        trajectory.exterior.push_back(*point);
    }
    trajectory.group.clear();
    if (groupText) {
        std::string group = std::string(Trimmed(UnescapeText(*groupText)));
        if (CountCharacters(group) > Trajectory::kMaxGroupLength) {
            note("The group " + Quoted(*groupText) + " of " + where +
                 " left out: a shot group's name takes at most " +
                 std::to_string(Trajectory::kMaxGroupLength) + " characters.");
        } else {
            trajectory.group = std::move(group);
        }
    }
}

// "x y z heading": three scene coordinates in metres and an angle in degrees.
std::optional<ScenePlacement> SceneLineReader::PlacementValue(std::string_view text,
                                                              const std::string& where) {
    const std::vector<std::string_view> words = Words(text);
    std::optional<double> values[4];
    for (size_t i = 0; i < 4 && i < words.size(); ++i) {
        values[i] = Number(words[i]);
    }
    const bool complete = words.size() == 4 && values[0] && values[1] && values[2] && values[3];
    if (!complete) {
        note("The placement " + Quoted(text) + " of " + where +
             " left out: a placement is four numbers, x y z in metres and a heading in degrees; "
             "it reads as 0 0 0 0.");
        return std::nullopt;
    }
    if (!CaseWorld::IsSceneCoordinate(*values[0]) || !CaseWorld::IsSceneCoordinate(*values[1]) ||
        !CaseWorld::IsSceneCoordinate(*values[2])) {
        note("The placement " + Quoted(text) + " of " + where +
             " left out: a position in the scene must lie within " + kSceneLimit +
             " m of its origin either way; it reads as 0 0 0 0.");
        return std::nullopt;
    }
    if (!value_limits::IsAngle(*values[3])) {
        note("The placement " + Quoted(text) + " of " + where +
             " left out: a heading must be at most 1000000 degrees either way; it reads as "
             "0 0 0 0.");
        return std::nullopt;
    }
    return ScenePlacement{*values[0], *values[1], *values[2], *values[3]};
}

// "x y z before|after": a point of the scene in metres and the side of the body it lies on.
std::optional<ExteriorPoint> SceneLineReader::ExteriorValue(std::string_view text,
                                                            const std::string& where) {
    const std::vector<std::string_view> words = Words(text);
    std::optional<double> values[3];
    for (size_t i = 0; i < 3 && i < words.size(); ++i) {
        values[i] = Number(words[i]);
    }
    const std::string side = words.size() == 4 ? LowerCased(words[3]) : std::string();
    if (!values[0] || !values[1] || !values[2] || (side != "before" && side != "after")) {
        note("The exterior " + Quoted(text) + " of " + where +
             " left out: an exterior point is x y z in metres and \"before\" or \"after\".");
        return std::nullopt;
    }
    if (!CaseWorld::IsSceneCoordinate(*values[0]) || !CaseWorld::IsSceneCoordinate(*values[1]) ||
        !CaseWorld::IsSceneCoordinate(*values[2])) {
        note("The exterior " + Quoted(text) + " of " + where +
             " left out: a point of the scene must lie within " + kSceneLimit +
             " m of its origin either way.");
        return std::nullopt;
    }
    return ExteriorPoint{{*values[0], *values[1], *values[2]}, side == "before"};
}

// A radius in metres within 0 and 1 m; the default when there is none or it is none of those.
double SceneLineReader::ExteriorRadius(const std::optional<std::string>& text,
                                       const std::string& where) {
    if (!text) {
        return ExteriorPoint::kDefaultRadius;
    }
    const std::optional<double> radius = Number(Trimmed(*text));
    if (!radius || !Trajectory::IsRadius(*radius)) {
        note("The exterior radius " + Quoted(*text) + " of " + where +
             " left out: a radius is a number of metres within 0 and 1; the point keeps 0.0100.");
        return ExteriorPoint::kDefaultRadius;
    }
    return *radius;
}

// "150 100 30": centimetres above the floor. A height no shooter holds is left out; a line
// that leaves none keeps the standard heights. None when the scene block has no such line.
std::optional<std::vector<double>> SceneLineReader::MuzzleHeights() {
    if (!muzzleHeights) {
        return std::nullopt;
    }
    std::vector<double> heights;
    for (const std::string_view word : Words(*muzzleHeights)) {
        const std::optional<double> centimetres = Number(word);
        if (!centimetres || !CaseWorld::IsMuzzleHeight(*centimetres / 100)) {
            note("The muzzle height " + Quoted(word) +
                 " of the scene left out: a muzzle height must lie within 0 and 10000 cm.");
            continue;
        }
        if (heights.size() >= CaseWorld::kMaxMuzzleHeights) {
            note("The muzzle height " + Quoted(word) +
                 " of the scene left out: a case holds at "
                 "most " +
                 std::to_string(CaseWorld::kMaxMuzzleHeights) + " muzzle heights.");
            continue;
        }
        heights.push_back(*centimetres / 100);
    }
    if (heights.empty()) {
        note("The muzzle heights of the scene left out: none is a height; the case keeps 150, "
             "100 and 30 cm.");
        heights = CaseWorld::DefaultMuzzleHeights();
    }
    return heights;
}
