#include "casefile/DataFile.h"
#include "case/CaseText.h"

#include "base/AppInfo.h"
#include "base/FileAccess.h"
#include "base/NumberText.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "casefile/CaseInfoBlock.h"
#include "casefile/DataFileReader.h"
#include "casefile/SceneLineWriter.h"

#include <cmath>
#include <cstring>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// A case of 20 trajectories and 20 elements with long labels is far below this; the limit keeps a
// device or a wrong file from filling the memory.
constexpr std::size_t kMaxDataFileBytes = 64u << 20;

// Lengths are stored in metres with four decimals, so that the millimetres the dialogs accept
// survive a save and reopen.
constexpr int kLengthDecimals = 4;

// "<indent><tag>value</tag>" and the line end.
void AppendValueLine(std::string& out, std::string_view indent, std::string_view tag,
                     std::string_view value) {
    out.append(indent).append("<").append(tag).append(">");
    out.append(value);
    out.append("</").append(tag).append(">").append(kLineEnd);
}

void AppendLine(std::string& out, std::string_view line) {
    out.append(line).append(kLineEnd);
}

std::string Length(double metres) {
    return FormatFixed(metres, 5, kLengthDecimals);
}
std::string Angle(double degrees) {
    return FormatFixed(degrees, 5, 2);
}

// A trajectory's colour component as 0..255, truncated toward zero.
std::string TruncatedComponent(double component) {
    const double scaled = component * 255;
    // Components are 0..1; the guard only keeps a corrupt value from overflowing the conversion.
    const bool convertible = std::isfinite(scaled) && std::fabs(scaled) < 1e15;
    return FormatInteger(convertible ? static_cast<long long>(scaled) : 0, 5);
}

// "joint yaw pitch roll", the angles in the file's angle format.
std::string PoseValue(std::string_view joint, const JointAngles& angles) {
    return std::string(joint) + " " + Angle(angles.yaw) + " " + Angle(angles.pitch) + " " +
           Angle(angles.roll);
}

std::string Plural(int count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

} // namespace

std::vector<std::string> DataFileReadResult::ReadingNotes() const {
    std::vector<std::string> lines;
    std::string parts;
    if (trajectoriesLeftOut > 0) {
        parts = Plural(trajectoriesLeftOut, "trajectory", "trajectories");
    }
    if (elementsLeftOut > 0) {
        parts += (parts.empty() ? "" : " and ") + Plural(elementsLeftOut, "element", "elements");
    }
    if (!parts.empty()) {
        lines.push_back(parts + " of the data file left out: the scene holds at most 20 "
                                "trajectories and 20 elements.");
    }
    if (bodyHeightRefused) {
        const std::string kept = FormatFixed(keptBodyHeight * 100.0, 0, 1);
        // A hand-edited line may hold kilobytes where the height should be.
        constexpr size_t kLongest = 40;
        const std::string shown = refusedBodyHeight.size() > kLongest
                                      ? refusedBodyHeight.substr(0, kLongest) + "..."
                                      : refusedBodyHeight;
        lines.push_back("The body height \"" + shown +
                        "\" of the data file left out: a body height must be more than 0 cm; the "
                        "height stays " +
                        kept + " cm.");
    }
    lines.insert(lines.end(), notes.begin(), notes.end());
    if (notesNotListed > 0) {
        lines.push_back("And " +
                        Plural(notesNotListed, "more value or line", "more values or lines") +
                        " of the data file left out or replaced.");
    }
    return lines;
}

std::string DataFileReadResult::LeftOutMessage() const {
    std::string message;
    for (const std::string& line : ReadingNotes()) {
        message += (message.empty() ? "" : "\n") + line;
    }
    return message;
}

namespace {

// The uncertainty budget's sources beyond the balls, only those that are set: a case without
// them is written as before.
void AppendUncertaintyModel(std::string& out, const UncertaintyModel& model) {
    const auto sigma = [&out](std::string_view name, double value, int decimals) {
        AppendValueLine(out, "   ", "sigma",
                        std::string(name) + " " + FormatFixed(value, 0, decimals));
    };
    if (model.poseSigma > 0) {
        sigma("pose", model.poseSigma, 2);
    }
    for (int j = 0; j < skeleton::kJointCount; ++j) {
        if (model.jointSigma[j]) {
            sigma(skeleton::InfoOf(static_cast<skeleton::Joint>(j)).name, *model.jointSigma[j], 2);
        }
    }
    if (model.tissueSigma > 0) {
        sigma("tissue", model.tissueSigma, 4);
    }
    if (model.headingSigma > 0) {
        sigma("heading", model.headingSigma, 2);
    }
    if (model.placementSigma > 0) {
        sigma("placement", model.placementSigma, 4);
    }
    if (model.draws != UncertaintyModel::kDefaultDraws) {
        AppendValueLine(out, "   ", "draws", std::to_string(model.draws));
    }
}

// The stretches and the joints' angles, so that the case reopens with the picture it was saved
// with.
void AppendBodyShape(std::string& out, const Body& body) {
    AppendValueLine(out, "   ", "scalex", FormatFixed(body.GetScaleX(), 6, kLengthDecimals));
    AppendValueLine(out, "   ", "scalez", FormatFixed(body.GetScaleZ(), 6, kLengthDecimals));
    const Posture& posture = body.GetPosture();
    AppendValueLine(out, "   ", "posture", posture.GetName());
    for (int j = 0; j < skeleton::kJointCount; ++j) {
        const skeleton::Joint joint = static_cast<skeleton::Joint>(j);
        AppendValueLine(out, "   ", "pose",
                        PoseValue(skeleton::InfoOf(joint).name, posture.Get(joint)));
    }
    AppendValueLine(out, "   ", "pose", PoseValue("body", posture.GetBodyTurn()));
    AppendUncertaintyModel(out, body.GetUncertaintyModel());
}

void AppendTrajectories(std::string& out, const Case& theCase) {
    for (int i = 0; i < theCase.GetTrajectoryCount(); ++i) {
        const Trajectory& trajectory = *theCase.GetTrajectory(i);
        AppendLine(out, "");
        AppendLine(out, "<trajectory>");
        AppendValueLine(out, "  ", "number", std::to_string(i + 1));
        AppendValueLine(out, "  ", "inside", trajectory.GetExited() == 0 ? "true" : "false");
        AppendValueLine(out, "  ", "r", TruncatedComponent(trajectory.GetRed()));
        AppendValueLine(out, "  ", "g", TruncatedComponent(trajectory.GetGreen()));
        AppendValueLine(out, "  ", "b", TruncatedComponent(trajectory.GetBlue()));
        AppendValueLine(out, "  ", "x1", Length(trajectory.GetX1()));
        AppendValueLine(out, "  ", "y1", Length(trajectory.GetY1()));
        AppendValueLine(out, "  ", "z1", Length(trajectory.GetZ1()));
        AppendValueLine(out, "  ", "x2", Length(trajectory.GetX2()));
        AppendValueLine(out, "  ", "y2", Length(trajectory.GetY2()));
        AppendValueLine(out, "  ", "z2", Length(trajectory.GetZ2()));
        AppendValueLine(out, "  ", "dx", Length(trajectory.GetDx()));
        AppendValueLine(out, "  ", "dy", Length(trajectory.GetDy()));
        AppendValueLine(out, "  ", "dz", Length(trajectory.GetDz()));
        AppendValueLine(out, "  ", "dPitch", Angle(trajectory.GetDPitch()));
        AppendValueLine(out, "  ", "dYaw", Angle(trajectory.GetDYaw()));
        AppendValueLine(out, "  ", "dRoll", Angle(0)); // a trajectory has no roll
        AppendValueLine(out, "  ", "uncertainty", FormatFixed(trajectory.GetUncertainty(), 0, 4));
        if (trajectory.HasOwnUncertaintyOut()) {
            AppendValueLine(out, "  ", "uncertaintyout",
                            FormatFixed(trajectory.GetUncertaintyOut(), 0, 4));
        }
        if (trajectory.HasParts()) {
            AppendValueLine(out, "  ", "inpart", trajectory.GetInPart());
            AppendValueLine(out, "  ", "outpart", trajectory.GetOutPart());
        } else {
            AppendValueLine(out, "  ", "witharm", trajectory.GetWithArm() ? "true" : "false");
        }
        AppendValueLine(out, "  ", "text", EscapeText(trajectory.GetText()));
        AppendTrajectoryWorldLines(out, trajectory, kLineEnd);
        AppendLine(out, "</trajectory>");
    }
}

void AppendElements(std::string& out, const ElementList& elements) {
    for (int i = 0; i < elements.GetCount(); ++i) {
        const Element& element = *elements.GetItem(i);
        double r = 0, g = 0, b = 0;
        element.GetColor(r, g, b);
        AppendLine(out, "");
        AppendLine(out, "<element>");
        // Element colours are rounded, trajectory colours truncated; readers of old files see both.
        AppendValueLine(out, "  ", "r", FormatFixed(r * 255, 5, 0));
        AppendValueLine(out, "  ", "g", FormatFixed(g * 255, 5, 0));
        AppendValueLine(out, "  ", "b", FormatFixed(b * 255, 5, 0));
        AppendValueLine(out, "  ", "x", Length(element.GetX()));
        AppendValueLine(out, "  ", "y", Length(element.GetY()));
        AppendValueLine(out, "  ", "z", Length(element.GetZ()));
        AppendValueLine(out, "  ", "width", Length(element.GetWidth()));
        AppendValueLine(out, "  ", "height", Length(element.GetHeight()));
        AppendValueLine(out, "  ", "length", Length(element.GetLength()));
        AppendValueLine(out, "  ", "pitch", Angle(element.GetPitch()));
        AppendValueLine(out, "  ", "yaw", Angle(element.GetYaw()));
        AppendValueLine(out, "  ", "roll", Angle(element.GetRoll()));
        AppendValueLine(out, "  ", "text", EscapeText(element.GetText()));
        AppendLine(out, "</element>");
    }
}

} // namespace

namespace {

// The first text of the case that would not read back whole, named for the user; empty when
// every one fits.
std::string TextTooLong(const Case& theCase) {
    if (!CaseTextFits(theCase.GetBody().GetName())) {
        return "the name of the body";
    }
    for (int i = 0; i < theCase.GetTrajectoryCount(); ++i) {
        if (!CaseTextFits(theCase.GetTrajectory(i)->GetText())) {
            return "the text of trajectory " + std::to_string(i + 1);
        }
    }
    const ElementList& elements = theCase.GetElements();
    for (int i = 0; i < elements.GetCount(); ++i) {
        if (!CaseTextFits(elements.GetItem(i)->GetText())) {
            return "the text of element " + std::to_string(i + 1);
        }
    }
    return SceneTextTooLong(theCase);
}

} // namespace

Status DataFile::Write(const Case& theCase, const std::string& path) {
    if (const std::string text = TextTooLong(theCase); !text.empty()) {
        return Status::Failure("Cannot write data file \"" + path + "\": " + text +
                               " would take more than the " + std::to_string(kMaxCaseTextLength) +
                               " bytes a text may take");
    }
    if (const int error = ReplaceFileContents(path, Format(theCase))) {
        if (error == kFileReadOnly) {
            return Status::Failure("\"" + path + "\" is read-only.");
        }
        return Status::Failure("Cannot write data file \"" + path + "\": " + FileErrorText(error));
    }
    return Status::Ok();
}

DataFileReadResult DataFile::Read(Case& theCase, const std::string& path) {
    std::string text;
    if (const int error = ReadWholeFile(path, text, kMaxDataFileBytes)) {
        const std::string reason = error == kFileTooLarge
                                       ? "it is larger than 64 MiB, more than any case needs"
                                       : FileErrorText(error);
        DataFileReadResult result;
        result.status = Status::Failure("Cannot open data file \"" + path + "\": " + reason);
        return result;
    }
    DataFileReadResult result = ReadText(theCase, text);
    if (!result.ok()) {
        result.status =
            Status::Failure("Cannot open data file \"" + path + "\": " + result.status.message());
    }
    return result;
}

DataFileReadResult DataFile::ReadText(Case& theCase, std::string_view text) {
    DataFileReader reader(theCase);
    reader.ReadText(text);
    DataFileReadResult result;
    // An empty file is an empty case, as it always was; any other text needs a tag of a case
    // (the reader then has changed nothing, since only closing tags apply what was read).
    if (!text.empty() && !reader.SawCaseTag()) {
        result.status = Status::Failure("not a data file");
        return result;
    }
    result.notes = reader.GetNotes();
    result.notesNotListed = reader.GetNotesNotListed();
    result.trajectoriesLeftOut = reader.GetTrajectoriesLeftOut();
    result.elementsLeftOut = reader.GetElementsLeftOut();
    result.bodyHeightRefused = reader.BodyHeightRefused();
    result.refusedBodyHeight = reader.GetBodyHeightText();
    result.keptBodyHeight = theCase.GetBody().GetHeight();
    return result;
}

std::string DataFile::Format(const Case& theCase) {
    const AppInfo& info = GetAppInfo();
    const Body& body = theCase.GetBody();
    std::string out;
    AppendLine(out, "<root>");
    AppendLine(out, "");
    AppendLine(out, "<software>");
    AppendValueLine(out, "  ", "title", EscapeText(info.title));
    AppendValueLine(out, "  ", "version", EscapeText(info.version));
    AppendValueLine(out, "  ", "copyright", EscapeText(info.legalNotice));
    AppendValueLine(out, "  ", "rights", EscapeText(info.rightsNotice));
    AppendLine(out, "</software>");
    CaseInfoBlock::Append(out, theCase.GetCaseInfo(), kLineEnd);
    AppendLine(out, "");
    AppendLine(out, "<body>");
    AppendValueLine(out, "   ", "name", EscapeText(body.GetName()));
    // GetHeight gives the height in single precision, as it has always been written.
    AppendValueLine(out, "   ", "height", FormatFixed(body.GetHeight(), 4, kLengthDecimals));
    AppendBodyShape(out, theCase.GetBody());
    AppendBodyPlacementLine(out, theCase, kLineEnd);
    AppendLine(out, "</body>");
    AppendTrajectories(out, theCase);
    AppendElements(out, theCase.GetElements());
    AppendSceneBlock(out, theCase, kLineEnd);
    AppendLine(out, "</root>");
    return out;
}
