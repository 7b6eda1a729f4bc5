#pragma once

#include "casefile/CaseFileRecord.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The data-file reader's part for the lines about the world around the body: the body block's
// placement, a trajectory block's exterior points and shot group, and the scene block. It keeps
// the raw texts as the reader finds them and checks them when their block closes; a value no case
// takes is left out and said in a note naming its field and where it stood.
class SceneLineReader {
public:
    using NoteSink = std::function<void(std::string)>;
    explicit SceneLineReader(NoteSink noteSink) : note(std::move(noteSink)) {}

    // Takes a value line of the body or a trajectory block, or of the scene block when one is
    // open; false when the line is none of those handled here. `lowered` is the lower-cased line.
    bool StoreBodyValue(std::string_view lowered, std::string_view value);
    bool StoreTrajectoryValue(std::string_view lowered, std::string_view value);
    bool StoreOtherValue(std::string_view lowered, std::string_view value);
    // Opens or closes the scene block (adding what it says to the record's scene blocks when it
    // closes); false when the line is no tag of it.
    bool HandleTagLine(std::string_view lowered, long lineNumber, CaseFileRecord& record);

    void StartBody() { bodyPlacement.reset(); }
    void StartTrajectory();
    // The body block's placement, checked: the scene's origin when it has none or one no case
    // takes.
    ScenePlacement FinishBody();
    // The trajectory block's exterior points and group, checked.
    void FinishTrajectory(Trajectory& trajectory, const std::string& where);
    // A scene block left open at the end of the file is noted and left out.
    void NoteUnfinishedBlock();

private:
    std::optional<ScenePlacement> PlacementValue(std::string_view text, const std::string& where);
    std::optional<ExteriorPoint> ExteriorValue(std::string_view text, const std::string& where);
    double ExteriorRadius(const std::optional<std::string>& text, const std::string& where);
    std::optional<std::vector<double>> MuzzleHeights();
    void NoteSetAgain(const CaseFileRecord::SceneBlock& later,
                      const std::vector<CaseFileRecord::SceneBlock>& earlier);

    NoteSink note;
    std::optional<std::string> bodyPlacement;
    std::vector<std::string> exteriorTexts;
    // The radius line that follows each exterior line, if any (parallel to exteriorTexts).
    std::vector<std::optional<std::string>> exteriorRadiusTexts;
    std::optional<std::string> groupText;
    bool inScene = false;
    long sceneLine = 0;
    std::optional<std::string> sceneModel;
    std::optional<std::string> scenePlacement;
    std::optional<std::string> muzzleHeights;
};
