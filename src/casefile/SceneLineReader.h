#pragma once

#include "case/CaseWorld.h"
#include "case/TrajectoryWorld.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Trajectory;

// The data-file reader's part for the lines about the world around the body: the body block's
// placement, a trajectory block's exterior points and shot group, and the scene block. It keeps
// the raw texts as the reader finds them and checks them when their block closes; a value no case
// takes is left out and said in a note naming its field and where it stood.
class SceneLineReader {
public:
    using NoteSink = std::function<void(std::string)>;
    explicit SceneLineReader(NoteSink note) : note(std::move(note)) {}

    // Takes a value line of the body or a trajectory block, or of the scene block when one is
    // open; false when the line is none of those handled here. `lowered` is the lower-cased line.
    bool StoreBodyValue(std::string_view lowered, std::string_view value);
    bool StoreTrajectoryValue(std::string_view lowered, std::string_view value);
    bool StoreOtherValue(std::string_view lowered, std::string_view value);
    // Opens or closes the scene block (applying it to `world` when it closes); false when the
    // line is no tag of it.
    bool HandleTagLine(std::string_view lowered, CaseWorld& world, long lineNumber);

    void StartBody() { bodyPlacement.reset(); }
    void StartTrajectory();
    // A body block without a placement puts the body at the scene's origin, and the scene starts
    // from its defaults (no model, the standard muzzle heights) until a scene block says more:
    // a file read over a case with a scene leaves none behind unless it has one itself.
    void ApplyBody(CaseWorld& world);
    void ApplyTrajectory(Trajectory& trajectory, const std::string& where);
    // A scene block left open at the end of the file is noted and not applied.
    void NoteUnfinishedBlock();

private:
    std::optional<ScenePlacement> PlacementValue(std::string_view text, const std::string& where);
    std::optional<ExteriorPoint> ExteriorValue(std::string_view text, const std::string& where);
    void ApplyMuzzleHeights(CaseWorld& world);

    NoteSink note;
    std::optional<std::string> bodyPlacement;
    std::vector<std::string> exteriorTexts;
    std::optional<std::string> groupText;
    bool inScene = false;
    long sceneLine = 0;
    std::optional<std::string> sceneModel;
    std::optional<std::string> scenePlacement;
    std::optional<std::string> muzzleHeights;
    std::shared_ptr<const Mesh> keptMesh;
    std::string keptModelFile;
};
