#include "casefile/DataFileReader.h"
#include "case/CaseText.h"

#include "base/NumberText.h"
#include "base/TextEscaping.h"
#include "base/TextWords.h"
#include "base/ValueLimits.h"
#include "case/Case.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace {

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

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string LowerCased(std::string_view line) {
    std::string lowered(line);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lowered;
}

// Position of a character, or -1 when there is none.
long Position(size_t found) {
    return found == std::string::npos ? -1 : static_cast<long>(found);
}

// Only an explicit "false" (or 0) keeps a trajectory from following the arm.
bool WithArmValue(std::string_view value) {
    const std::string word = LowerCased(Trimmed(value));
    return word != "false" && word != "0";
}

// A value text as a note shows it: trimmed, and cut when long (a hand-edited line may hold
// 32 KiB).
std::string Quoted(std::string_view text) {
    constexpr size_t kLongest = 40;
    const std::string_view trimmed = Trimmed(text);
    return "\"" + std::string(trimmed.substr(0, kLongest)) +
           (trimmed.size() > kLongest ? "...\"" : "\"");
}

std::string Whole(double value) {
    return FormatFixed(value, 0, 0);
}

} // namespace

DataFileReader::DataFileReader(Case& theCase) : theCase(theCase) {}

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
    AssignMissingParts();
}

void DataFileReader::AssignMissingParts() {
    const Body& body = theCase.GetBody();
    // An older file with a posed arm drew every such trajectory with the arm: it keeps that rule.
    if (!body.HasInitialPose() || !body.HasPostureParts()) {
        return;
    }
    for (int index : withoutParts) {
        Trajectory* trajectory = theCase.GetTrajectory(index);
        if (trajectory == nullptr || trajectory->HasParts()) {
            continue;
        }
        trajectory->SetParts(
            body.PartNearest({trajectory->GetX1(), trajectory->GetY1(), trajectory->GetZ1()}),
            body.PartNearest({trajectory->GetX2(), trajectory->GetY2(), trajectory->GetZ2()}));
    }
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
}

void DataFileReader::Note(std::string note) {
    if (notes.size() < kMaxNotes) {
        notes.push_back(std::move(note));
    } else {
        ++notesNotListed;
    }
}

double DataFileReader::LengthValue(std::string_view tag, const std::string& text,
                                   const std::string& where) {
    const double value = ParseLenientNumber(text);
    if (value_limits::IsLength(value)) {
        return value;
    }
    Note("The " + std::string(tag) + " " + Quoted(text) + " of " + where +
         " left out: a length must be at most " + Whole(value_limits::kLargestLength) +
         " m either way; it reads as 0.");
    return 0;
}

double DataFileReader::AngleValue(std::string_view tag, std::string_view text,
                                  const std::string& where) {
    const double value = ParseLenientNumber(text);
    if (value_limits::IsAngle(value)) {
        return value;
    }
    Note("The " + std::string(tag) + " " + Quoted(text) + " of " + where +
         " left out: an angle must be at most " + Whole(value_limits::kLargestAngle) +
         " degrees either way; it reads as 0.");
    return 0;
}

// A colour text (0..255) as a component 0..1; one beyond the range is taken at its end.
double DataFileReader::ComponentValue(std::string_view tag, const std::string& text,
                                      const std::string& where) {
    const double value = ParseLenientNumber(text);
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
    const double scale = ParseLenientNumber(text);
    if (scale >= kSmallest && scale <= kLargest) {
        return scale;
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
        if (sceneLines.StoreBodyValue(lowered, value)) {
        } else if (Contains(lowered, "<name>")) {
            bodyName = value;
        } else if (Contains(lowered, "<height>")) {
            bodyHeight = value;
        } else if (Contains(lowered, "<scalex>")) {
            bodyScaleX = value;
        } else if (Contains(lowered, "<scalez>")) {
            bodyScaleZ = value;
        } else if (Contains(lowered, "<pose>")) {
            bodyPoses.emplace_back(value);
        } else if (Contains(lowered, "<sigma>")) {
            bodySigmas.emplace_back(value);
        } else if (Contains(lowered, "<draws>")) {
            bodyDraws = value;
        }
        // The posture's name line is written for the reader's eye: the pose lines hold it.
        break;
    case Block::Trajectory:
        StoreTrajectoryValue(lowered, value);
        break;
    case Block::Element:
        StoreElementValue(lowered, value);
        break;
    case Block::CaseInfo:
        caseInfo.Store(lowered, value);
        break;
    case Block::None:
        sceneLines.StoreOtherValue(lowered, value);
        break; // the software block, "<number>" and anything unknown
    }
}

void DataFileReader::StoreTrajectoryValue(std::string_view lowered, std::string_view value) {
    if (sceneLines.StoreTrajectoryValue(lowered, value)) {
        return;
    }
    for (size_t i = 0; i < kTrajectoryTags.size(); ++i) {
        if (Contains(lowered, kTrajectoryTags[i])) {
            trajectoryValues[i] = value;
            return;
        }
    }
    if (Contains(lowered, "<inside>")) {
        exited = Contains(value, "true") ? 0 : 1; // case-sensitive: "TRUE" is not inside
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
    sawCaseTag = sawCaseTag ||
                 std::any_of(kCaseTags.begin(), kCaseTags.end(),
                             [lowered](std::string_view tag) { return Contains(lowered, tag); });
    if (block == Block::None && sceneLines.HandleTagLine(lowered, theCase.GetWorld(), lineNumber)) {
        sawCaseTag = true;
        return;
    }
    // Only the colours, the text and the inside flag start afresh with a block; every other value
    // carries over from the previous block of the same kind.
    if (Contains(lowered, "<body>")) {
        block = Block::Body;
        blockLine = lineNumber;
        bodyScaleX.clear();
        bodyScaleZ.clear();
        bodyPoses.clear();
        bodySigmas.clear();
        bodyDraws.clear();
        sceneLines.StartBody();
    } else if (Contains(lowered, "<trajectory>")) {
        block = Block::Trajectory;
        blockLine = lineNumber;
        exited = 1;
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
    } else if (Contains(lowered, "<element>")) {
        block = Block::Element;
        blockLine = lineNumber;
        elementValues[kElemR] = elementValues[kElemG] = elementValues[kElemB] = "255";
        elementText.clear();
    } else if (Contains(lowered, "<case>")) {
        block = Block::CaseInfo;
        blockLine = lineNumber;
        caseInfo.Start();
    } else if (Contains(lowered, "</case>") && block == Block::CaseInfo) {
        theCase.SetCaseInfo(caseInfo.Finish([this](std::string note) { Note(std::move(note)); }));
        block = Block::None;
    } else if (Contains(lowered, "</body>")) {
        ApplyBody();
        block = Block::None;
    } else if (Contains(lowered, "</trajectory>")) {
        CreateTrajectory();
        block = Block::None;
    } else if (Contains(lowered, "</element>")) {
        CreateElement();
        block = Block::None;
    }
}

void DataFileReader::ApplyBody() {
    Body& body = theCase.GetBody();
    body.SetName(TextValue("name", bodyName, "the body"));
    body.SetScaleX(ScaleValue("scalex", bodyScaleX));
    body.SetScaleZ(ScaleValue("scalez", bodyScaleZ));
    // A height of 0 or less is refused and leaves the body as it was; the reader says so.
    if (!body.SetHeight(ParseLenientNumber(bodyHeight))) {
        bodyHeightRefused = true;
    }
    // A file without pose lines was drawn with the initial pose.
    body.ResetPose();
    for (const std::string& pose : bodyPoses) {
        ApplyPose(pose);
    }
    ApplyUncertaintyModel();
    sceneLines.ApplyBody(theCase.GetWorld());
}

void DataFileReader::ApplyUncertaintyModel() {
    UncertaintyModel model;
    for (const std::string& line : bodySigmas) {
        const std::vector<std::string_view> words = Words(line);
        const std::string name = words.empty() ? std::string() : LowerCased(words[0]);
        const double value = words.size() > 1 ? ParseLenientNumber(words[1])
                                              : std::numeric_limits<double>::quiet_NaN();
        if (const Status set = model.SetSigma(name, value); !set) {
            Note("The sigma " + Quoted(line) + " of the body left out: " + set.message());
        }
    }
    if (!bodyDraws.empty()) {
        if (const Status set = model.SetDraws(ParseLenientNumber(bodyDraws)); !set) {
            Note("The draws " + Quoted(bodyDraws) + " of the body left out: " + set.message() +
                 " The budget makes " + std::to_string(model.draws) + ".");
        }
    }
    theCase.GetBody().GetUncertaintyModel() = model;
}

// "joint yaw pitch roll"; an unknown joint is ignored, a missing angle reads as 0. Older files'
// "arm" and "forearm" lines pose the right shoulder and elbow as they did (their angles are kept
// even beyond today's limits, so that such a case draws as it did); their "head" line turned
// nothing and still turns nothing. A joint's own line beyond its limits is brought within them.
void DataFileReader::ApplyPose(std::string_view value) {
    const std::vector<std::string_view> words = Words(value);
    if (words.empty()) {
        return;
    }
    Body& body = theCase.GetBody();
    const std::string joint = LowerCased(words[0]);
    const std::optional<skeleton::Joint> named = skeleton::JointNamed(joint);
    if (!named && joint != "arm" && joint != "forearm" && joint != "body") {
        return;
    }
    // One beyond a million degrees is no pose.
    constexpr std::array<std::string_view, 3> kAngleNames = {"yaw", "pitch", "roll"};
    double angles[3] = {0, 0, 0};
    for (size_t i = 0; i < kAngleNames.size() && i + 1 < words.size(); ++i) {
        angles[i] = AngleValue(joint + " " + std::string(kAngleNames[i]), words[i + 1], "the body");
    }
    Posture posture = body.GetPosture();
    if (joint == "arm") {
        posture.Set(skeleton::Joint::RightShoulder,
                    Posture::RightShoulderFromOldArm(angles[0], angles[1]));
    } else if (joint == "forearm") {
        posture.Set(skeleton::Joint::RightElbow,
                    Posture::RightElbowFromOldForearm(angles[0], angles[1]));
    } else if (joint == "body") {
        Posture turned;
        turned.SetBodyTurn({angles[0], angles[1], angles[2]});
        posture.SetBodyTurn(turned.Clamped().GetBodyTurn());
    } else {
        Posture alone;
        alone.Set(*named, {angles[0], angles[1], angles[2]});
        if (const std::optional<std::string> beyond = alone.FirstAngleBeyondLimits()) {
            Note("The pose " + Quoted(value) + " of the body replaced: the " + *beyond +
                 " lies beyond the joint's limits; it reads as the nearest angle within them.");
        }
        posture.Set(*named, alone.Clamped().Get(*named));
    }
    body.SetPosture(posture);
}

std::string DataFileReader::PartValue(std::string_view tag, std::string_view text,
                                      const std::string& where) {
    const std::string lowered = LowerCased(Trimmed(text));
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

void DataFileReader::ReadParts(Trajectory& trajectory, const std::string& where) {
    if (inPartText.empty() && outPartText.empty()) {
        if (!sawWithArm) {
            withoutParts.push_back(theCase.GetTrajectoryCount() - 1);
        }
        return;
    }
    const Body& body = theCase.GetBody();
    std::string in = PartValue("inpart", inPartText, where);
    std::string out = PartValue("outpart", outPartText, where);
    if (in.empty()) {
        in = body.PartNearest({trajectory.GetX1(), trajectory.GetY1(), trajectory.GetZ1()});
    }
    if (out.empty()) {
        out = body.PartNearest({trajectory.GetX2(), trajectory.GetY2(), trajectory.GetZ2()});
    }
    trajectory.SetParts(in, out);
}

void DataFileReader::CreateTrajectory() {
    Trajectory* trajectory = theCase.AddTrajectory(exited);
    if (trajectory == nullptr) {
        ++trajectoriesLeftOut;
        return;
    }
    const std::string where = "trajectory " + std::to_string(theCase.GetTrajectoryCount());
    const auto component = [this, &where](int index) {
        return ComponentValue(kTrajectoryNames[index], trajectoryValues[index], where);
    };
    const auto length = [this, &where](int index) {
        return LengthValue(kTrajectoryNames[index], trajectoryValues[index], where);
    };
    const auto angle = [this, &where](int index) {
        return AngleValue(kTrajectoryNames[index], trajectoryValues[index], where);
    };
    // One value after the other, so that the notes follow the file's order.
    const double red = component(kTrajR), green = component(kTrajG), blue = component(kTrajB);
    double points[6] = {};
    for (int i = 0; i < 6; ++i) {
        points[i] = length(kX1 + i);
    }
    trajectory->SetPoints(points[0], points[1], points[2], points[3], points[4], points[5]);
    trajectory->SetDx(length(kDx));
    trajectory->SetDy(length(kDy));
    trajectory->SetDz(length(kDz));
    trajectory->SetDPitch(angle(kDPitch));
    trajectory->SetDYaw(angle(kDYaw));
    // A trajectory has no roll: the dRoll text is read and not used.
    if (const std::string& radius = trajectoryValues[kUncertainty];
        !radius.empty() && !trajectory->SetUncertainty(ParseLenientNumber(radius))) {
        Note("The uncertainty " + Quoted(radius) + " of " + where +
             " left out: an uncertainty radius must lie within 0 and " +
             Whole(value_limits::kLargestUncertainty * 100) + " cm; the radius stays " +
             FormatFixed(trajectory->GetUncertainty() * 100, 0, 1) + " cm.");
    }
    if (!uncertaintyOutText.empty() &&
        !trajectory->SetUncertaintyOut(ParseLenientNumber(uncertaintyOutText))) {
        Note("The uncertainty of OUT " + Quoted(uncertaintyOutText) + " of " + where +
             " left out: an uncertainty radius must lie within 0 and " +
             Whole(value_limits::kLargestUncertainty * 100) + " cm; OUT's ball is IN's.");
    }
    trajectory->SetColor(red, green, blue);
    trajectory->SetWithArm(withArm);
    ReadParts(*trajectory, where);
    trajectory->SetText(TextValue("text", trajectoryText, where));
    sceneLines.ApplyTrajectory(*trajectory, where);
}

void DataFileReader::CreateElement() {
    ElementList& elements = theCase.GetElements();
    if (elements.GetCount() >= ElementList::kCapacity) {
        ++elementsLeftOut;
        return;
    }
    const std::string where = "element " + std::to_string(elements.GetCount() + 1);
    const auto component = [this, &where](int index) {
        return ComponentValue(kElementNames[index], elementValues[index], where);
    };
    const auto length = [this, &where](int index) {
        return LengthValue(kElementNames[index], elementValues[index], where);
    };
    const auto angle = [this, &where](int index) {
        return AngleValue(kElementNames[index], elementValues[index], where);
    };
    auto element = std::make_unique<Element>();
    const double red = component(kElemR), green = component(kElemG), blue = component(kElemB);
    element->SetColor(red, green, blue);
    const double x = length(kX), y = length(kY), z = length(kZ);
    element->SetPosition(x, y, z);
    element->SetPitch(angle(kPitch));
    element->SetYaw(angle(kYaw));
    element->SetRoll(angle(kRoll));
    const double width = length(kWidth);
    const double height = length(kHeight);
    const double depth = length(kLength);
    element->SetWidth(width);
    element->SetHeight(height);
    element->SetLength(depth);
    element->SetBounds(-width / 2, -height / 2, -depth / 2, width / 2, height / 2, depth / 2);
    element->SetText(TextValue("text", elementText, where));
    if (!elements.Add(std::move(element))) {
        ++elementsLeftOut;
    }
}
