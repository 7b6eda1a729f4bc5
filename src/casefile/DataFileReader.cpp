#include "casefile/DataFileReader.h"
#include "case/CaseText.h"

#include "base/NumberText.h"
#include "base/TextEscaping.h"
#include "base/TextWords.h"
#include "base/ValueLimits.h"
#include "case/Case.h"
#include "case/EntryNumber.h"
#include "casefile/LineText.h"

#include <algorithm>
#include <limits>

namespace {

using line_text::Contains;
using line_text::LowerCased;
using line_text::Quoted;

constexpr std::array<std::string_view, 16> kTrajectoryTags = {
    "<r>",  "<g>",  "<b>",  "<x1>", "<y1>",     "<z1>",   "<x2>",    "<y2>",
    "<z2>", "<dx>", "<dy>", "<dz>", "<dpitch>", "<dyaw>", "<droll>", "<uncertainty>"};

constexpr std::array<std::string_view, 12> kElementTags = {
    "<r>",     "<g>",   "<b>",    "<x>",     "<y>",      "<z>",
    "<pitch>", "<yaw>", "<roll>", "<width>", "<height>", "<length>"};

// The tags as the writer spells them, for the notes.
constexpr std::array<std::string_view, 16> kTrajectoryNames = {
    "r",  "g",  "b",  "x1", "y1",     "z1",   "x2",    "y2",
    "z2", "dx", "dy", "dz", "dPitch", "dYaw", "dRoll", "uncertainty"};
constexpr std::array<std::string_view, 12> kElementNames = {
    "r", "g", "b", "x", "y", "z", "pitch", "yaw", "roll", "width", "height", "length"};

// The tags of a case's blocks: a text in which no line is one of them is no data file.
constexpr std::array<std::string_view, 12> kCaseTags = {
    "<root>",       "</root>",       "<software>", "</software>", "<body>", "</body>",
    "<trajectory>", "</trajectory>", "<element>",  "</element>",  "<case>", "</case>"};

// Position of a character, or -1 when there is none.
long Position(size_t found) {
    return found == std::string::npos ? -1 : static_cast<long>(found);
}

// Only an explicit "false" (or 0) keeps a trajectory from following the arm.
bool WithArmValue(std::string_view value) {
    const std::string word = LowerCased(Trimmed(value));
    return word != "false" && word != "0";
}

std::string Whole(double value) {
    return FormatFixed(value, 0, 0);
}

// What keeps a pose line's words from being a joint and up to three angles; empty when nothing.
std::string PoseNumbersWrong(const std::vector<std::string_view>& words) {
    if (words.size() > 4) {
        return "a pose line is a joint and at most three angles";
    }
    for (size_t i = 1; i < words.size(); ++i) {
        if (!ParseNumberToken(words[i])) {
            return Quoted(words[i]) + " is not a number";
        }
    }
    return {};
}

} // namespace

CaseFileRecord ReadCaseFileText(std::string_view text, EntriesHeld held) {
    DataFileReader reader(held);
    reader.ReadText(text);
    return reader.TakeRecord();
}

void DataFileReader::ReadText(std::string_view text) {
    while (!text.empty()) {
        // Lines end in LF, CR LF or (old Mac exports) a lone CR.
        const std::string_view window = text.substr(0, kMaxPieceLength + 1);
        const size_t lineEnd = window.find_first_of("\r\n");
        size_t length = std::min(text.size(), kMaxPieceLength);
        const bool endsLine = lineEnd != std::string_view::npos;
        if (endsLine) {
            const bool crLf =
                text[lineEnd] == '\r' && lineEnd + 1 < text.size() && text[lineEnd + 1] == '\n';
            length = lineEnd + (crLf ? 2 : 1);
        } else if (text.size() > kMaxPieceLength && !lineNoted) {
            lineNoted = true;
            Note("Line " + std::to_string(lineNumber) + " of the data file is longer than " +
                 std::to_string(kMaxPieceLength) +
                 " bytes: it was read in pieces, and a value or text on it may be lost.");
        }
        ReadPiece(text.substr(0, length));
        text.remove_prefix(length);
        if (endsLine) {
            ++lineNumber;
            lineNoted = false;
        }
    }
    NoteUnfinishedBlock();
}

// A file cut short loses its last block: worth a word, since nothing else shows it.
void DataFileReader::NoteUnfinishedBlock() {
    const char* kind = block == Block::Body         ? "body"
                       : block == Block::Trajectory ? "trajectory"
                       : block == Block::Element    ? "element"
                       : block == Block::CaseInfo   ? "case"
                                                    : nullptr;
    if (kind != nullptr) {
        Note("The " + std::string(kind) + " from line " + std::to_string(blockLine) +
             " of the data file left out: the file ends before its </" + kind + ">.");
    }
    sceneLines.NoteUnfinishedBlock();
    ctLines.NoteUnfinishedBlock();
    carriedLines.NoteUnfinishedBlock();
}

void DataFileReader::Note(std::string note) {
    record.notes.Add(std::move(note));
}

// A blank value reads as 0, as it always did; any other text that is not one whole number is
// none, named in a note with what stands instead.
std::optional<double> DataFileReader::NumberValue(std::string_view tag, std::string_view text,
                                                  const std::string& where,
                                                  std::string_view instead) {
    if (Trimmed(text).empty()) {
        return 0.0;
    }
    if (const std::optional<double> value = ParseNumberToken(text)) {
        return value;
    }
    Note("The " + std::string(tag) + " " + Quoted(text) + " of " + where +
         " left out: it is not a number; " + std::string(instead) + ".");
    return std::nullopt;
}

double DataFileReader::LengthValue(std::string_view tag, const std::string& text,
                                   const std::string& where) {
    const std::optional<double> value = NumberValue(tag, text, where, "it reads as 0");
    if (!value) {
        return 0;
    }
    if (value_limits::IsLength(*value)) {
        return *value;
    }
    Note("The " + std::string(tag) + " " + Quoted(text) + " of " + where +
         " left out: a length must be at most " + Whole(value_limits::kLargestLength) +
         " m either way; it reads as 0.");
    return 0;
}

double DataFileReader::AngleValue(std::string_view tag, std::string_view text,
                                  const std::string& where) {
    const std::optional<double> value = NumberValue(tag, text, where, "it reads as 0");
    if (!value) {
        return 0;
    }
    if (value_limits::IsAngle(*value)) {
        return *value;
    }
    Note("The " + std::string(tag) + " " + Quoted(text) + " of " + where +
         " left out: an angle must be at most " + Whole(value_limits::kLargestAngle) +
         " degrees either way; it reads as 0.");
    return 0;
}

// A colour text (0..255) as a component 0..1; one beyond the range is taken at its end.
double DataFileReader::ComponentValue(std::string_view tag, const std::string& text,
                                      const std::string& where) {
    // Not 255: a label line of an older file that holds "<g>" is taken by that tag, and such a
    // file has always drawn with 0 there.
    const double value = NumberValue(tag, text, where, "it reads as 0").value_or(0);
    const double kept = std::clamp(value, 0.0, value_limits::kLargestColorByte);
    if (kept != value) {
        Note("The " + std::string(tag) + " " + Quoted(text) + " of " + where +
             " replaced: a colour component must lie within 0 and " +
             Whole(value_limits::kLargestColorByte) + "; it reads as " + Whole(kept) + ".");
    }
    return kept / value_limits::kLargestColorByte;
}

// A stretch from the file; a missing one is no stretch, and so is one no body could have.
double DataFileReader::ScaleValue(std::string_view tag, const std::string& text) {
    constexpr double kSmallest = 0.01, kLargest = 100;
    if (text.empty()) {
        return 1.0;
    }
    const std::optional<double> scale = NumberValue(tag, text, "the body", "it reads as 1");
    if (!scale) {
        return 1.0;
    }
    if (*scale >= kSmallest && *scale <= kLargest) {
        return *scale;
    }
    Note("The " + std::string(tag) + " " + Quoted(text) +
         " of the body left out: a stretch must lie within 0.01 and 100; it reads as 1.");
    return 1.0;
}

// A text of the file unescaped; one that could not be written back on a line is left out.
std::string DataFileReader::TextValue(std::string_view what, const std::string& text,
                                      const std::string& where) {
    std::string plain = UnescapeText(text);
    if (CaseTextFits(plain)) {
        return plain;
    }
    Note("The " + std::string(what) + " of " + where + " left out: written to a data file it " +
         "would take " + std::to_string(EscapeText(plain).size()) + " bytes, more than the " +
         std::to_string(kMaxCaseTextLength) + " a text may take.");
    return {};
}

void DataFileReader::ReadPiece(std::string_view piece) {
    const std::string lowered = LowerCased(piece);
    const long gt = Position(lowered.find('>'));
    const long lt = Position(lowered.rfind('<'));
    if (lt >= gt + 2) {
        StoreValue(lowered,
                   piece.substr(static_cast<size_t>(gt + 1), static_cast<size_t>(lt - gt - 1)));
    } else {
        HandleTagLine(lowered);
    }
}

void DataFileReader::StoreValue(std::string_view lowered, std::string_view value) {
    switch (block) {
    case Block::Body:
        StoreBodyValue(lowered, value);
        break;
    case Block::Trajectory:
        StoreTrajectoryValue(lowered, value);
        break;
    case Block::Element:
        StoreElementValue(lowered, value);
        break;
    case Block::CaseInfo:
        caseInfo.Store(lowered, value, lineNumber);
        break;
    case Block::None:
        if (!ctLines.StoreValue(lowered, value) && !carriedLines.StoreValue(lowered, value)) {
            sceneLines.StoreOtherValue(lowered, value);
        }
        break; // the software block, "<number>" and anything unknown
    }
}

void DataFileReader::StoreBodyValue(std::string_view lowered, std::string_view value) {
    if (sceneLines.StoreBodyValue(lowered, value)) {
    } else if (Contains(lowered, "<name>")) {
        bodyName = value;
    } else if (Contains(lowered, "<height>")) {
        body.heightText = value;
    } else if (Contains(lowered, "<scalex>")) {
        bodyScaleX = value;
    } else if (Contains(lowered, "<scalez>")) {
        bodyScaleZ = value;
    } else if (Contains(lowered, "<pose>")) {
        body.poseLines.emplace_back(value);
    } else if (Contains(lowered, "<posture>")) {
        body.postureLine = value;
    } else if (Contains(lowered, "<sigma>")) {
        body.sigmaLines.emplace_back(value);
    } else if (Contains(lowered, "<draws>")) {
        body.drawsLine = value;
    }
}

void DataFileReader::StoreTrajectoryValue(std::string_view lowered, std::string_view value) {
    if (sceneLines.StoreTrajectoryValue(lowered, value) ||
        pointLines.StoreValue(lowered, value, lineNumber)) {
        return;
    }
    for (size_t i = 0; i < kTrajectoryTags.size(); ++i) {
        if (Contains(lowered, kTrajectoryTags[i])) {
            trajectoryValues[i] = value;
            return;
        }
    }
    if (Contains(lowered, "<inside>")) {
        exited = !Contains(value, "true"); // case-sensitive: "TRUE" is not inside
    } else if (Contains(lowered, "<witharm>")) {
        withArm = WithArmValue(value);
        sawWithArm = true;
    } else if (Contains(lowered, "<uncertaintyout>")) {
        uncertaintyOutText = value;
    } else if (Contains(lowered, "<inpart>")) {
        inPartText = value;
    } else if (Contains(lowered, "<outpart>")) {
        outPartText = value;
    } else if (Contains(lowered, "<text>")) {
        trajectoryText = value;
    }
}

void DataFileReader::StoreElementValue(std::string_view lowered, std::string_view value) {
    for (size_t i = 0; i < kElementTags.size(); ++i) {
        if (Contains(lowered, kElementTags[i])) {
            elementValues[i] = value;
            return;
        }
    }
    if (Contains(lowered, "<text>")) {
        elementText = value;
    }
}

void DataFileReader::HandleTagLine(std::string_view lowered) {
    record.sawCaseTag = record.sawCaseTag || std::any_of(kCaseTags.begin(), kCaseTags.end(),
                                                         [lowered](std::string_view tag) {
                                                             return Contains(lowered, tag);
                                                         });
    if (block == Block::None && (ctLines.HandleTagLine(lowered, lineNumber, record) ||
                                 carriedLines.HandleTagLine(lowered, lineNumber, record.carried) ||
                                 sceneLines.HandleTagLine(lowered, lineNumber, record))) {
        record.sawCaseTag = true;
        return;
    }
    if (!StartBlock(lowered)) {
        FinishBlock(lowered);
    }
}

// Only the colours, the text and the inside flag start afresh with a block; every other value
// carries over from the previous block of the same kind.
bool DataFileReader::StartBlock(std::string_view lowered) {
    if (Contains(lowered, "<body>")) {
        block = Block::Body;
        blockLine = lineNumber;
        bodyScaleX.clear();
        bodyScaleZ.clear();
        body.poseLines.clear();
        body.postureLine.clear();
        body.sigmaLines.clear();
        body.drawsLine.clear();
        sceneLines.StartBody();
    } else if (Contains(lowered, "<trajectory>")) {
        block = Block::Trajectory;
        blockLine = lineNumber;
        exited = true;
        withArm = true;
        sawWithArm = false;
        inPartText.clear();
        outPartText.clear();
        uncertaintyOutText.clear();
        trajectoryValues[kTrajR] = trajectoryValues[kTrajG] = trajectoryValues[kTrajB] = "255";
        // Files written before trajectories had an uncertainty have no such line: each block
        // without one gets the default radius, never the previous block's.
        trajectoryValues[kUncertainty].clear();
        trajectoryText.clear();
        sceneLines.StartTrajectory();
        pointLines.Start();
    } else if (Contains(lowered, "<element>")) {
        block = Block::Element;
        blockLine = lineNumber;
        elementValues[kElemR] = elementValues[kElemG] = elementValues[kElemB] = "255";
        elementText.clear();
    } else if (Contains(lowered, "<case>")) {
        block = Block::CaseInfo;
        blockLine = lineNumber;
        caseInfo.Start();
    } else {
        return false;
    }
    return true;
}

void DataFileReader::FinishBlock(std::string_view lowered) {
    if (Contains(lowered, "</case>") && block == Block::CaseInfo) {
        record.info = caseInfo.Finish([this](std::string note) { Note(std::move(note)); });
        block = Block::None;
    } else if (Contains(lowered, "</body>")) {
        FinishBody();
        block = Block::None;
    } else if (Contains(lowered, "</trajectory>")) {
        FinishTrajectory();
        block = Block::None;
    } else if (Contains(lowered, "</element>")) {
        FinishElement();
        block = Block::None;
    }
}

void DataFileReader::FinishBody() {
    body.name = TextValue("name", bodyName, "the body");
    body.scaleX = ScaleValue("scalex", bodyScaleX);
    body.scaleZ = ScaleValue("scalez", bodyScaleZ);
    ReadPosture(body);
    body.uncertainty = ReadUncertaintyModel(body);
    body.placement = sceneLines.FinishBody();
    record.bodyBlocks.push_back(body);
}

// The pose lines turn the joints from the anatomical position, each block afresh; a block without
// any may name a preset in its posture line (which the writer adds for the reader's eye).
void DataFileReader::ReadPosture(CaseFileRecord::BodyBlock& read) {
    using PoseSource = CaseFileRecord::PoseSource;
    read.posture = Posture();
    read.poseSource = PoseSource::None;
    for (const std::string& line : read.poseLines) {
        const std::optional<PoseSource> source = ReadPose(line, read.posture);
        if (source && read.poseSource != PoseSource::JointLines) {
            read.poseSource = *source;
        }
    }
    if (read.poseSource == PoseSource::None) {
        ReadPostureName(read);
    }
}

void DataFileReader::ReadPostureName(CaseFileRecord::BodyBlock& read) {
    const std::string name = LowerCased(Trimmed(read.postureLine));
    if (name.empty()) {
        return;
    }
    if (const std::optional<Posture> preset = Posture::Preset(name)) {
        read.posture = *preset;
        read.poseSource = CaseFileRecord::PoseSource::Preset;
        return;
    }
    std::string presets;
    for (const std::string& preset : Posture::PresetNames()) {
        presets += (presets.empty() ? "" : ", ") + preset;
    }
    Note("The posture " + Quoted(read.postureLine) +
         " of the body left out: without pose lines a posture must be one of " + presets +
         "; the body stands in the anatomical position.");
}

UncertaintyModel DataFileReader::ReadUncertaintyModel(const CaseFileRecord::BodyBlock& read) {
    UncertaintyModel model;
    for (const std::string& line : read.sigmaLines) {
        const std::vector<std::string_view> words = Words(line);
        const std::string name = words.empty() ? std::string() : LowerCased(words[0]);
        const std::optional<double> number =
            words.size() == 2 ? ParseNumberToken(words[1]) : std::nullopt;
        if (words.size() > 1 && !number) {
            Note("The sigma " + Quoted(line) + " of the body left out: " +
                 (words.size() == 2 ? Quoted(words[1]) + " is not a number"
                                    : std::string("a sigma line is a name and one number")) +
                 "; the sigma stays as it was.");
            continue;
        }
        const double value = number.value_or(std::numeric_limits<double>::quiet_NaN());
        if (const Status set = model.SetSigma(name, value); !set) {
            Note("The sigma " + Quoted(line) + " of the body left out: " + set.message());
        }
    }
    if (!read.drawsLine.empty()) {
        const std::optional<double> draws = ParseNumberToken(read.drawsLine);
        if (draws && UncertaintyModel::LimitsDraws(*draws)) {
            Note("The draws " + Quoted(read.drawsLine) + " of the body: draws limited to " +
                 std::to_string(UncertaintyModel::kMostDraws) +
                 ", the most the uncertainty budget makes.");
        }
        if (!draws) {
            Note("The draws " + Quoted(read.drawsLine) +
                 " of the body left out: it is not a number. The budget makes " +
                 std::to_string(model.draws) + ".");
        } else if (const Status set = model.SetDraws(*draws); !set) {
            Note("The draws " + Quoted(read.drawsLine) + " of the body left out: " + set.message() +
                 " The budget makes " + std::to_string(model.draws) + ".");
        }
    }
    return model;
}

// "joint yaw pitch roll"; an unknown joint is ignored, a missing angle reads as 0. Older files'
// "arm" and "forearm" lines pose the right shoulder and elbow as they did (their angles are kept
// even beyond today's limits, so that such a case draws as it did); their "head" line turned
// nothing and still turns nothing. A joint's own line beyond its limits is brought within them.
std::optional<CaseFileRecord::PoseSource> DataFileReader::ReadPose(std::string_view value,
                                                                   Posture& posture) {
    using PoseSource = CaseFileRecord::PoseSource;
    const std::vector<std::string_view> words = Words(value);
    if (words.empty()) {
        return std::nullopt;
    }
    const std::string joint = LowerCased(words[0]);
    const std::optional<skeleton::Joint> named = skeleton::JointNamed(joint);
    if (!named && joint != "arm" && joint != "forearm" && joint != "body") {
        return std::nullopt;
    }
    if (const std::string wrong = PoseNumbersWrong(words); !wrong.empty()) {
        Note("The pose " + Quoted(value) + " of the body left out: " + wrong +
             "; the joint keeps its angles.");
        return std::nullopt;
    }
    // One beyond a million degrees is no pose.
    constexpr std::array<std::string_view, 3> kAngleNames = {"yaw", "pitch", "roll"};
    double angles[3] = {0, 0, 0};
    for (size_t i = 0; i < kAngleNames.size() && i + 1 < words.size(); ++i) {
        angles[i] = AngleValue(joint + " " + std::string(kAngleNames[i]), words[i + 1], "the body");
    }
    if (joint == "arm") {
        posture.Set(skeleton::Joint::RightShoulder,
                    Posture::RightShoulderFromOldArm(angles[0], angles[1]));
        return PoseSource::OlderArmLines;
    }
    if (joint == "forearm") {
        posture.Set(skeleton::Joint::RightElbow,
                    Posture::RightElbowFromOldForearm(angles[0], angles[1]));
        return PoseSource::OlderArmLines;
    }
    if (joint == "body") {
        Posture turned;
        turned.SetBodyTurn({angles[0], angles[1], angles[2]});
        posture.SetBodyTurn(turned.Clamped().GetBodyTurn());
        return PoseSource::JointLines;
    }
    Posture alone;
    alone.Set(*named, {angles[0], angles[1], angles[2]});
    if (const std::optional<std::string> beyond = alone.FirstAngleBeyondLimits()) {
        Note("The pose " + Quoted(value) + " of the body replaced: the " + *beyond +
             " lies beyond the joint's limits; it reads as the nearest angle within them.");
    }
    posture.Set(*named, alone.Clamped().Get(*named));
    return PoseSource::JointLines;
}

std::string DataFileReader::PartValue(std::string_view tag, std::string_view text,
                                      const std::string& where) {
    std::string lowered = LowerCased(Trimmed(text)); // not const: the match is moved out
    if (lowered.empty()) {
        return {}; // no such line: nothing to say
    }
    for (std::string_view part : skeleton::kPartNames) {
        if (lowered == part) {
            return lowered;
        }
    }
    std::string list;
    for (std::string_view part : skeleton::kPartNames) {
        list += (list.empty() ? "" : ", ") + std::string(part);
    }
    Note("The " + std::string(tag) + " " + Quoted(text) + " of " + where +
         " left out: a part is one of " + list + "; the part nearest to the point is taken.");
    return {};
}

void DataFileReader::FinishTrajectory() {
    const int number = held.trajectories + NumberOfIndex(record.trajectories.size());
    if (number > Case::kMaxTrajectories) {
        ++record.trajectoriesLeftOut;
        return;
    }
    const std::string where = "trajectory " + std::to_string(number);
    const auto component = [this, &where](int index) {
        return ComponentValue(kTrajectoryNames[index], trajectoryValues[index], where);
    };
    const auto length = [this, &where](int index) {
        return LengthValue(kTrajectoryNames[index], trajectoryValues[index], where);
    };
    const auto angle = [this, &where](int index) {
        return AngleValue(kTrajectoryNames[index], trajectoryValues[index], where);
    };
    CaseFileRecord::TrajectoryRecord read;
    Trajectory& trajectory = read.trajectory;
    trajectory.exited = exited;
    // One value after the other, so that the notes follow the file's order.
    const double red = component(kTrajR), green = component(kTrajG), blue = component(kTrajB);
    trajectory.color = {red, green, blue};
    trajectory.in.x = length(kX1);
    trajectory.in.y = length(kY1);
    trajectory.in.z = length(kZ1);
    trajectory.out.x = length(kX2);
    trajectory.out.y = length(kY2);
    trajectory.out.z = length(kZ2);
    trajectory.offset.x = length(kDx);
    trajectory.offset.y = length(kDy);
    trajectory.offset.z = length(kDz);
    trajectory.pitchAdjustment = angle(kDPitch);
    trajectory.yawAdjustment = angle(kDYaw);
    // A trajectory has no roll: the dRoll text is read and not used.
    const std::string radiusKept =
        "the radius stays " + FormatFixed(trajectory.radiusIn * 100, 0, 1) + " cm";
    if (const std::string& radius = trajectoryValues[kUncertainty]; !radius.empty()) {
        const std::optional<double> metres = NumberValue("uncertainty", radius, where, radiusKept);
        if (metres && Trajectory::IsRadius(*metres)) {
            trajectory.radiusIn = *metres;
        } else if (metres) {
            Note("The uncertainty " + Quoted(radius) + " of " + where +
                 " left out: an uncertainty radius must lie within 0 and " +
                 Whole(value_limits::kLargestUncertainty * 100) + " cm; the radius stays " +
                 FormatFixed(trajectory.radiusIn * 100, 0, 1) + " cm.");
        }
    }
    if (!uncertaintyOutText.empty()) {
        const std::optional<double> metres =
            NumberValue("uncertainty of OUT", uncertaintyOutText, where, "OUT's ball is IN's");
        if (metres && Trajectory::IsRadius(*metres)) {
            trajectory.radiusOut = *metres;
        } else if (metres) {
            Note("The uncertainty of OUT " + Quoted(uncertaintyOutText) + " of " + where +
                 " left out: an uncertainty radius must lie within 0 and " +
                 Whole(value_limits::kLargestUncertainty * 100) + " cm; OUT's ball is IN's.");
        }
    }
    trajectory.withArm = withArm;
    read.hadWithArmLine = sawWithArm;
    read.hadPartLines = !inPartText.empty() || !outPartText.empty();
    if (read.hadPartLines) {
        trajectory.inPart = PartValue("inpart", inPartText, where);
        trajectory.outPart = PartValue("outpart", outPartText, where);
    }
    trajectory.label = TextValue("text", trajectoryText, where);
    sceneLines.FinishTrajectory(trajectory, where);
    pointLines.Finish(trajectory, where);
    record.trajectories.push_back(std::move(read));
}

void DataFileReader::FinishElement() {
    const int number = held.elements + NumberOfIndex(record.elements.size());
    if (number > Case::kMaxElements) {
        ++record.elementsLeftOut;
        return;
    }
    const std::string where = "element " + std::to_string(number);
    const auto component = [this, &where](int index) {
        return ComponentValue(kElementNames[index], elementValues[index], where);
    };
    const auto length = [this, &where](int index) {
        return LengthValue(kElementNames[index], elementValues[index], where);
    };
    const auto angle = [this, &where](int index) {
        return AngleValue(kElementNames[index], elementValues[index], where);
    };
    Element element;
    const double red = component(kElemR), green = component(kElemG), blue = component(kElemB);
    element.color = {red, green, blue};
    const double x = length(kX), y = length(kY), z = length(kZ);
    element.centre = {x, y, z};
    element.pitch = angle(kPitch);
    element.yaw = angle(kYaw);
    element.roll = angle(kRoll);
    const double width = length(kWidth);
    const double height = length(kHeight);
    const double depth = length(kLength);
    element.size = {width, height, depth};
    element.label = TextValue("text", elementText, where);
    record.elements.push_back(std::move(element));
}
