#include "case/DataFileReader.h"

#include "base/NumberText.h"
#include "base/TextEscaping.h"
#include "case/Case.h"

#include <cmath>
#include <memory>

namespace {

constexpr std::array<std::string_view, 16> kTrajectoryTags = {
    "<r>",  "<g>",  "<b>",  "<x1>", "<y1>",     "<z1>",   "<x2>",    "<y2>",
    "<z2>", "<dx>", "<dy>", "<dz>", "<dpitch>", "<dyaw>", "<droll>", "<uncertainty>"};

constexpr std::array<std::string_view, 12> kElementTags = {
    "<r>",     "<g>",   "<b>",    "<x>",     "<y>",      "<z>",
    "<pitch>", "<yaw>", "<roll>", "<width>", "<height>", "<length>"};

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

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The words of a text separated by blanks or tabs.
std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    while (!(text = Trimmed(text)).empty()) {
        const size_t end = std::min(text.find_first_of(" \t"), text.size());
        words.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return words;
}

// Only an explicit "false" (or 0) keeps a trajectory from following the arm.
bool WithArmValue(std::string_view value) {
    const std::string word = LowerCased(Trimmed(value));
    return word != "false" && word != "0";
}

// A stretch from the file; a missing one, or one no body could have, is no stretch.
double ScaleValue(const std::string& text) {
    constexpr double kSmallest = 0.01, kLargest = 100;
    const double scale = ParseLenientNumber(text);
    return text.empty() || !(scale >= kSmallest && scale <= kLargest) ? 1.0 : scale;
}

// A joint angle in degrees. One beyond a million degrees is no pose (and would overflow the
// dialog's slider position), so it reads as 0 like any other text without a usable number.
double JointAngle(std::string_view text) {
    constexpr double kLargestAngle = 1e6;
    const double value = ParseLenientNumber(text);
    return std::fabs(value) <= kLargestAngle ? value : 0;
}

// A colour text (0..255) as a component 0..1.
double Component(const std::string& text) {
    return ParseLenientNumber(text) / 255.0;
}

// A length in metres. Anything beyond a thousand kilometres is no measurement on a body: such a
// value (1e308, say) would overflow to an infinite number of centimetres and to angles that are not
// numbers, so it reads as 0, like any other text that holds no usable number.
double Length(const std::string& text) {
    constexpr double kLargestLength = 1e6;
    const double value = ParseLenientNumber(text);
    return std::fabs(value) <= kLargestLength ? value : 0;
}

} // namespace

DataFileReader::DataFileReader(Case& theCase) : theCase(theCase) {}

void DataFileReader::ReadText(std::string_view text) {
    while (!text.empty()) {
        // Lines end in LF, CR LF or (old Mac exports) a lone CR.
        const std::string_view window = text.substr(0, kMaxPieceLength);
        const size_t lineEnd = window.find_first_of("\r\n");
        size_t length = std::min(text.size(), kMaxPieceLength);
        if (lineEnd != std::string_view::npos) {
            const bool crLf =
                text[lineEnd] == '\r' && lineEnd + 1 < text.size() && text[lineEnd + 1] == '\n';
            length = lineEnd + (crLf ? 2 : 1);
        }
        ReadPiece(text.substr(0, length));
        text.remove_prefix(length);
    }
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
        if (Contains(lowered, "<name>")) {
            bodyName = value;
        } else if (Contains(lowered, "<height>")) {
            bodyHeight = value;
        } else if (Contains(lowered, "<scalex>")) {
            bodyScaleX = value;
        } else if (Contains(lowered, "<scalez>")) {
            bodyScaleZ = value;
        } else if (Contains(lowered, "<pose>")) {
            bodyPoses.emplace_back(value);
        }
        break;
    case Block::Trajectory:
        StoreTrajectoryValue(lowered, value);
        break;
    case Block::Element:
        StoreElementValue(lowered, value);
        break;
    case Block::None:
        break; // the software block, "<number>" and anything unknown
    }
}

void DataFileReader::StoreTrajectoryValue(std::string_view lowered, std::string_view value) {
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
    // Only the colours, the text and the inside flag start afresh with a block; every other value
    // carries over from the previous block of the same kind.
    if (Contains(lowered, "<body>")) {
        block = Block::Body;
        bodyScaleX.clear();
        bodyScaleZ.clear();
        bodyPoses.clear();
    } else if (Contains(lowered, "<trajectory>")) {
        block = Block::Trajectory;
        exited = 1;
        withArm = true;
        trajectoryValues[kTrajR] = trajectoryValues[kTrajG] = trajectoryValues[kTrajB] = "255";
        // Files written before trajectories had an uncertainty have no such line: each block
        // without one gets the default radius, never the previous block's.
        trajectoryValues[kUncertainty].clear();
        trajectoryText.clear();
    } else if (Contains(lowered, "<element>")) {
        block = Block::Element;
        elementValues[kElemR] = elementValues[kElemG] = elementValues[kElemB] = "255";
        elementText.clear();
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
    body.SetName(UnescapeText(bodyName));
    body.SetScaleX(ScaleValue(bodyScaleX));
    body.SetScaleZ(ScaleValue(bodyScaleZ));
    // A height of 0 or less is refused and leaves the body as it was; the reader says so.
    if (!body.SetHeight(ParseLenientNumber(bodyHeight))) {
        bodyHeightRefused = true;
    }
    // A file without pose lines was drawn with the initial pose.
    body.ResetPose();
    for (const std::string& pose : bodyPoses) {
        ApplyPose(pose);
    }
}

// "joint yaw pitch roll"; an unknown joint is ignored, a missing angle reads as 0.
void DataFileReader::ApplyPose(std::string_view value) {
    const std::vector<std::string_view> words = Words(value);
    if (words.empty()) {
        return;
    }
    Body& body = theCase.GetBody();
    const std::string joint = LowerCased(words[0]);
    Placement* target = joint == "arm"       ? &body.GetArm()
                        : joint == "forearm" ? &body.GetForearm()
                        : joint == "head"    ? &body.GetHead()
                                             : nullptr;
    if (target == nullptr) {
        return;
    }
    const auto angle = [&words](size_t i) { return i < words.size() ? JointAngle(words[i]) : 0.0; };
    target->SetYaw(angle(1));
    target->SetPitch(angle(2));
    target->SetRoll(angle(3));
}

void DataFileReader::CreateTrajectory() {
    Trajectory* trajectory = theCase.AddTrajectory(exited);
    if (trajectory == nullptr) {
        ++trajectoriesLeftOut;
        return;
    }
    const auto value = [this](int index) { return ParseLenientNumber(trajectoryValues[index]); };
    const auto length = [this](int index) { return Length(trajectoryValues[index]); };
    trajectory->SetPoints(length(kX1), length(kY1), length(kZ1), length(kX2), length(kY2),
                          length(kZ2));
    trajectory->SetDx(length(kDx));
    trajectory->SetDy(length(kDy));
    trajectory->SetDz(length(kDz));
    trajectory->SetDPitch(value(kDPitch));
    trajectory->SetDYaw(value(kDYaw));
    // A trajectory has no roll: the dRoll text is read and not used.
    if (!trajectoryValues[kUncertainty].empty()) {
        // A negative radius means nothing and is refused: the default stays.
        trajectory->SetUncertainty(value(kUncertainty));
    }
    trajectory->SetColor(Component(trajectoryValues[kTrajR]), Component(trajectoryValues[kTrajG]),
                         Component(trajectoryValues[kTrajB]));
    trajectory->SetWithArm(withArm);
    trajectory->SetText(UnescapeText(trajectoryText));
}

void DataFileReader::CreateElement() {
    ElementList& elements = theCase.GetElements();
    if (elements.GetCount() >= ElementList::kCapacity) {
        ++elementsLeftOut;
        return;
    }
    const auto value = [this](int index) { return ParseLenientNumber(elementValues[index]); };
    const auto length = [this](int index) { return Length(elementValues[index]); };
    auto element = std::make_unique<Element>();
    element->SetColor(Component(elementValues[kElemR]), Component(elementValues[kElemG]),
                      Component(elementValues[kElemB]));
    element->SetPosition(length(kX), length(kY), length(kZ));
    element->SetPitch(value(kPitch));
    element->SetYaw(value(kYaw));
    element->SetRoll(value(kRoll));
    const double width = length(kWidth);
    const double height = length(kHeight);
    const double depth = length(kLength);
    element->SetWidth(width);
    element->SetHeight(height);
    element->SetLength(depth);
    element->SetBounds(-width / 2, -height / 2, -depth / 2, width / 2, height / 2, depth / 2);
    element->SetText(UnescapeText(elementText));
    if (!elements.Add(std::move(element))) {
        ++elementsLeftOut;
    }
}
