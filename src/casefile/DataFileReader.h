#pragma once

#include "casefile/CarriedLineReader.h"
#include "casefile/CaseFileRecord.h"
#include "casefile/CaseInfoBlock.h"
#include "casefile/CtLineReader.h"
#include "casefile/DataFile.h"
#include "casefile/SceneLineReader.h"
#include "casefile/TrackPointLineReader.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads data-file text into the record of what it says, numbering its blocks after the entries
// the case already holds and leaving out those beyond its tables. Needs no body.
CaseFileRecord ReadCaseFileText(std::string_view text, EntriesHeld held = {});

// The line-by-line reader of data files. It is not an XML parser: it finds tags anywhere in a
// lower-cased copy of each line, takes as a value whatever stands between the first ">" and the
// last "<", and keeps raw value texts until a block's closing tag converts them into the record.
// Hand-edited files depend on these rules, so they are kept exactly.
class DataFileReader {
public:
    // Lines are read in pieces of at most this many characters before their line end (the
    // longest line the writer makes fits in one); a longer line arrives as several pieces, each
    // handled as a line of its own, and is named in a note.
    static constexpr size_t kMaxPieceLength = DataFile::kMaxLineLength;

    explicit DataFileReader(EntriesHeld entriesHeld) : held(entriesHeld) {}
    // Its scene lines' notes go to this reader.
    DataFileReader(const DataFileReader&) = delete;
    DataFileReader& operator=(const DataFileReader&) = delete;

    // Reads a whole file's text, cut into pieces the way the file is read, into the record. A
    // block left unfinished at the end is left out.
    void ReadText(std::string_view text);
    // Handles one piece (with its line feed, when it has one).
    void ReadPiece(std::string_view piece);

    // What was read, handed over once the text is read.
    CaseFileRecord TakeRecord() { return std::move(record); }

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
    // The value texts checked as they go into the record; each one refused or replaced is noted
    // with its tag and where it stood ("trajectory 3", "the body").
    std::optional<double> NumberValue(std::string_view tag, std::string_view text,
                                      const std::string& where, std::string_view instead);
    double LengthValue(std::string_view tag, const std::string& text, const std::string& where);
    double AngleValue(std::string_view tag, std::string_view text, const std::string& where);
    double ComponentValue(std::string_view tag, const std::string& text, const std::string& where);
    double ScaleValue(std::string_view tag, const std::string& text);
    std::string TextValue(std::string_view what, const std::string& text, const std::string& where);
    void StoreValue(std::string_view lowered, std::string_view value);
    void StoreBodyValue(std::string_view lowered, std::string_view value);
    void StoreTrajectoryValue(std::string_view lowered, std::string_view value);
    void StoreElementValue(std::string_view lowered, std::string_view value);
    void HandleTagLine(std::string_view lowered);
    // A block's opening tag (false when the line has none), and its closing tag.
    bool StartBlock(std::string_view lowered);
    void FinishBlock(std::string_view lowered);
    void FinishBody();
    // Turns `posture` as a pose line says; the source of the line, or none when the line turns
    // nothing (an unknown joint, the older head line).
    std::optional<CaseFileRecord::PoseSource> ReadPose(std::string_view value, Posture& posture);
    void ReadPosture(CaseFileRecord::BodyBlock& read);
    // The preset a body block without pose lines names in its posture line.
    void ReadPostureName(CaseFileRecord::BodyBlock& read);
    UncertaintyModel ReadUncertaintyModel(const CaseFileRecord::BodyBlock& read);
    // A part line's value, checked: a part the skeleton knows, or empty (with a note).
    std::string PartValue(std::string_view tag, std::string_view text, const std::string& where);
    void FinishTrajectory();
    void FinishElement();

    EntriesHeld held;
    CaseFileRecord record;
    Block block = Block::None;
    // The open body block's lines as read. The name and the height carry over to the next body
    // block, as they always did.
    CaseFileRecord::BodyBlock body;
    std::string bodyName;
    // Lines a body block may lack (older files): empty when absent.
    std::string bodyScaleX;
    std::string bodyScaleZ;
    CaseInfoBlock caseInfo;
    std::array<std::string, kTrajectoryValueCount> trajectoryValues;
    std::string trajectoryText;
    bool exited = false;
    bool withArm = true;
    bool sawWithArm = false;
    std::string inPartText, outPartText;
    std::string uncertaintyOutText;
    std::array<std::string, kElementValueCount> elementValues;
    std::string elementText;
    // The file's line the current piece belongs to (from 1), and whether it was noted as too long.
    long lineNumber = 1;
    bool lineNoted = false;
    long blockLine = 0; // where the open block started

    // The lines about the world around the body.
    SceneLineReader sceneLines{[this](std::string text) { Note(std::move(text)); }};
    // The points a trajectory passed between IN and OUT.
    TrackPointLineReader pointLines{[this](std::string text) { Note(std::move(text)); }};
    // The block naming the CT series the body comes from.
    CtLineReader ctLines{[this](std::string text) { Note(std::move(text)); }};
    // The block saying which CT body the case was carried from.
    CarriedLineReader carriedLines{[this](std::string text) { Note(std::move(text)); }};
};
