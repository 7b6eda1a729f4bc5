#pragma once

#include "casefile/CaseInfoBlock.h"
#include "casefile/DataFile.h"
#include "casefile/SceneLineReader.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

class Case;
class Trajectory;

// The line-by-line reader of data files. It is not an XML parser: it finds tags anywhere in a
// lower-cased copy of each line, takes as a value whatever stands between the first ">" and the
// last "<", and keeps raw value texts until a block's closing tag converts them. Hand-edited files
// depend on these rules, so they are kept exactly.
class DataFileReader {
public:
    // Lines are read in pieces of at most this many characters before their line end (the
    // longest line the writer makes fits in one); a longer line arrives as several pieces, each
    // handled as a line of its own, and is named in a note.
    static constexpr size_t kMaxPieceLength = DataFile::kMaxLineLength;
    // Notes beyond this many are only counted, so that a damaged file gives a message a person
    // can read.
    static constexpr size_t kMaxNotes = 20;

    explicit DataFileReader(Case& theCase);

    // Reads a whole file's text, cut into pieces the way the file is read, and appends its
    // trajectories and elements to the case. A block left unfinished at the end is dropped.
    void ReadText(std::string_view text);
    // Handles one piece (with its line feed, when it has one).
    void ReadPiece(std::string_view piece);

    // True once a line was taken as a tag of the case's blocks ("<root>", "<body>",
    // "</trajectory>", ...): text without any is no data file.
    bool SawCaseTag() const { return sawCaseTag; }
    // Blocks that were complete but did not fit the case's tables.
    int GetTrajectoriesLeftOut() const { return trajectoriesLeftOut; }
    int GetElementsLeftOut() const { return elementsLeftOut; }
    // True when a body block's height was 0 or less and so refused; its text as written.
    bool BodyHeightRefused() const { return bodyHeightRefused; }
    const std::string& GetBodyHeightText() const { return bodyHeight; }
    // A line for the user for each other value or line left out or replaced, in file order, at
    // most kMaxNotes of them; and how many more there were.
    const std::vector<std::string>& GetNotes() const { return notes; }
    int GetNotesNotListed() const { return notesNotListed; }

private:
    enum class Block { None, Body, Trajectory, Element, CaseInfo };

    // Raw value texts of a trajectory block, in the order its tags are tried.
    enum TrajectoryValue {
        kTrajR,
        kTrajG,
        kTrajB,
        kX1,
        kY1,
        kZ1,
        kX2,
        kY2,
        kZ2,
        kDx,
        kDy,
        kDz,
        kDPitch,
        kDYaw,
        kDRoll,
        kUncertainty,
        kTrajectoryValueCount
    };
    // Raw value texts of an element block, in the order its tags are tried.
    enum ElementValue {
        kElemR,
        kElemG,
        kElemB,
        kX,
        kY,
        kZ,
        kPitch,
        kYaw,
        kRoll,
        kWidth,
        kHeight,
        kLength,
        kElementValueCount
    };

    void Note(std::string note);
    void NoteUnfinishedBlock();
    // The value texts checked as they go into the case; each one refused or replaced is noted
    // with its tag and where it stood ("trajectory 3", "the body").
    double LengthValue(std::string_view tag, const std::string& text, const std::string& where);
    double AngleValue(std::string_view tag, std::string_view text, const std::string& where);
    double ComponentValue(std::string_view tag, const std::string& text, const std::string& where);
    double ScaleValue(std::string_view tag, const std::string& text);
    std::string TextValue(std::string_view what, const std::string& text, const std::string& where);
    void StoreValue(std::string_view lowered, std::string_view value);
    void StoreTrajectoryValue(std::string_view lowered, std::string_view value);
    void StoreElementValue(std::string_view lowered, std::string_view value);
    void HandleTagLine(std::string_view lowered);
    void ApplyBody();
    void ApplyPose(std::string_view value);
    void ApplyUncertaintyModel();
    // A part line's value, checked: a part the skeleton knows, or empty (with a note).
    std::string PartValue(std::string_view tag, std::string_view text, const std::string& where);
    // Gives the trajectories read without parts or a with-arm line the parts nearest to their
    // points, when that moves nothing: the body stands in the anatomical position.
    void AssignMissingParts();
    // The parts of the trajectory just read: its part lines (a bad or missing one replaced by the
    // part nearest to its point), or none, to be found later, when it has no with-arm line.
    void ReadParts(Trajectory& trajectory, const std::string& where);
    void CreateTrajectory();
    void CreateElement();

    Case& theCase;
    Block block = Block::None;
    std::string bodyName;
    std::string bodyHeight;
    // Lines a body block may lack (older files): empty when absent.
    std::string bodyScaleX;
    std::string bodyScaleZ;
    std::vector<std::string> bodyPoses;
    std::vector<std::string> bodySigmas;
    std::string bodyDraws;
    CaseInfoBlock caseInfo;
    std::array<std::string, kTrajectoryValueCount> trajectoryValues;
    std::string trajectoryText;
    int exited = 0;
    bool withArm = true;
    bool sawWithArm = false;
    std::string inPartText, outPartText;
    std::string uncertaintyOutText;
    // Trajectories of this read (0-based) that had neither parts nor a with-arm line.
    std::vector<int> withoutParts;
    std::array<std::string, kElementValueCount> elementValues;
    std::string elementText;
    int trajectoriesLeftOut = 0;
    int elementsLeftOut = 0;
    bool bodyHeightRefused = false;
    bool sawCaseTag = false;
    // The file's line the current piece belongs to (from 1), and whether it was noted as too long.
    long lineNumber = 1;
    bool lineNoted = false;
    long blockLine = 0; // where the open block started

    std::vector<std::string> notes;
    int notesNotListed = 0;
    // The lines about the world around the body.
    SceneLineReader sceneLines{[this](std::string text) { Note(std::move(text)); }};
};
