#pragma once

#include "body/Posture.h"
#include "body/UncertaintyModel.h"
#include "case/CarriedFrom.h"
#include "case/CaseInfo.h"
#include "case/Element.h"
#include "case/ScenePlacement.h"
#include "case/Trajectory.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// How many trajectories and elements a case holds before a data file is read into it: the file's
// blocks are numbered after them, and those beyond the case's tables are left out.
struct EntriesHeld {
    int trajectories = 0;
    int elements = 0;
};

// What a data file says, read and checked without any body: every value as the case will take it
// (or the text a body must judge), and a note for each value or line left out or replaced, in file
// order. Applying it to a case (ApplyCaseFile) is the one step that needs the body.
struct CaseFileRecord {
    // Notes beyond this many are only counted, so that a damaged file gives a message a person
    // can read.
    static constexpr std::size_t kMaxNotes = 20;

    // The reading notes: at most kMaxNotes sentences, and how many more there were.
    struct Notes {
        std::vector<std::string> listed;
        int notListed = 0;
        void Add(std::string note);
    };

    // Where the body block's posture comes from.
    enum class PoseSource {
        None,          // no pose line: the anatomical position
        OlderArmLines, // only the "arm" and "forearm" lines of older files
        JointLines,    // a line of a joint or of the whole body's turn
        Preset,        // no pose line, and a posture line naming a preset
    };

    // One body block. Its name and height carry over from the block before, as they always did;
    // every other value starts afresh with each block.
    struct BodyBlock {
        std::string name;       // unescaped; empty when too long to write back
        std::string heightText; // as written: only the body can refuse it
        double scaleX = 1, scaleZ = 1;
        std::vector<std::string> poseLines; // as read
        std::string postureLine;            // as read; empty when there is none
        std::vector<std::string> sigmaLines;
        std::string drawsLine;
        // What those lines make, each value checked.
        Posture posture;
        PoseSource poseSource = PoseSource::None;
        UncertaintyModel uncertainty;
        ScenePlacement placement; // the scene's origin when the line is absent or left out
    };

    // One trajectory block that fits the case's table. `trajectory` holds every value checked:
    // its parts are those its part lines name (empty for a line that is absent or names no part:
    // the body finds the part under the point), its with-arm flag that of its with-arm line (true
    // without one). A block with neither kind of line gets its parts from the body too, unless
    // the file's pose comes from the older arm lines.
    struct TrajectoryRecord {
        Trajectory trajectory;
        bool hadPartLines = false;
        bool hadWithArmLine = false;
    };

    // One scene block: what it sets (nothing for a line that is absent or left out) and the
    // file's line it starts on. Where it stands among the other blocks makes no difference.
    struct SceneBlock {
        long line = 0;
        std::optional<std::string> modelFile; // unescaped, as written
        std::optional<ScenePlacement> placement;
        std::optional<std::vector<double>> muzzleHeights; // metres
    };

    // The CT series block: the folder and the Series Instance UID as written (unescaped), and the
    // file's line it starts on.
    struct CtBlock {
        long line = 0;
        std::string folder;
        std::string seriesUid;
    };

    // True once a line was taken as a tag of the case's blocks ("<root>", "<body>",
    // "</trajectory>", ...): a text without any is no data file.
    bool sawCaseTag = false;
    std::vector<BodyBlock> bodyBlocks; // in file order
    std::vector<TrajectoryRecord> trajectories;
    std::vector<Element> elements;
    std::vector<SceneBlock> sceneBlocks;
    std::optional<CaseInfo> info; // the last case block's
    std::optional<CtBlock> ct;    // the last CT block's
    // Where the case was carried from: the last complete record's.
    std::optional<CarriedFrom> carried;
    // Complete blocks beyond the case's tables of 20.
    int trajectoriesLeftOut = 0;
    int elementsLeftOut = 0;
    Notes notes;
};
