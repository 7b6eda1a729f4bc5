#include "casefile/DataFile.h"
#include "casefile/LineText.h"

#include "base/AppInfo.h"
#include "base/FileAccess.h"
#include "base/NumberText.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "case/CaseText.h"
#include "case/EntryNumber.h"
#include "case/SceneModelPath.h"
#include "casefile/CarriedLineWriter.h"
#include "casefile/CaseFileApplication.h"
#include "casefile/CaseInfoBlock.h"
#include "casefile/CtLineWriter.h"
#include "casefile/DataFileReader.h"
#include "casefile/SceneLineWriter.h"
#include "casefile/TrackPointLineWriter.h"

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
    line_text::AppendValueLine(out, indent, tag, value, kLineEnd);
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

} // namespace

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

void AppendTrajectory(std::string& out, int number, const Trajectory& trajectory) {
    AppendLine(out, "");
    AppendLine(out, "<trajectory>");
    AppendValueLine(out, "  ", "number", std::to_string(number));
    AppendValueLine(out, "  ", "inside", trajectory.exited ? "false" : "true");
    AppendValueLine(out, "  ", "r", TruncatedComponent(trajectory.color.x));
    AppendValueLine(out, "  ", "g", TruncatedComponent(trajectory.color.y));
    AppendValueLine(out, "  ", "b", TruncatedComponent(trajectory.color.z));
    AppendValueLine(out, "  ", "x1", Length(trajectory.in.x));
    AppendValueLine(out, "  ", "y1", Length(trajectory.in.y));
    AppendValueLine(out, "  ", "z1", Length(trajectory.in.z));
    AppendValueLine(out, "  ", "x2", Length(trajectory.out.x));
    AppendValueLine(out, "  ", "y2", Length(trajectory.out.y));
    AppendValueLine(out, "  ", "z2", Length(trajectory.out.z));
    AppendValueLine(out, "  ", "dx", Length(trajectory.offset.x));
    AppendValueLine(out, "  ", "dy", Length(trajectory.offset.y));
    AppendValueLine(out, "  ", "dz", Length(trajectory.offset.z));
    AppendValueLine(out, "  ", "dPitch", Angle(trajectory.pitchAdjustment));
    AppendValueLine(out, "  ", "dYaw", Angle(trajectory.yawAdjustment));
    AppendValueLine(out, "  ", "dRoll", Angle(0)); // a trajectory has no roll
    AppendValueLine(out, "  ", "uncertainty", FormatFixed(trajectory.radiusIn, 0, 4));
    if (trajectory.radiusOut) {
        AppendValueLine(out, "  ", "uncertaintyout", FormatFixed(*trajectory.radiusOut, 0, 4));
    }
    if (trajectory.HasParts()) {
        AppendValueLine(out, "  ", "inpart", trajectory.inPart);
        AppendValueLine(out, "  ", "outpart", trajectory.outPart);
    } else {
        AppendValueLine(out, "  ", "witharm", trajectory.withArm ? "true" : "false");
    }
    AppendValueLine(out, "  ", "text", EscapeText(trajectory.label));
    AppendTrackPointLines(out, trajectory, kLineEnd);
    AppendTrajectoryWorldLines(out, trajectory, kLineEnd);
    AppendLine(out, "</trajectory>");
}

void AppendElement(std::string& out, const Element& element) {
    AppendLine(out, "");
    AppendLine(out, "<element>");
    // Element colours are rounded, trajectory colours truncated; readers of old files see both.
    AppendValueLine(out, "  ", "r", FormatFixed(element.color.x * 255, 5, 0));
    AppendValueLine(out, "  ", "g", FormatFixed(element.color.y * 255, 5, 0));
    AppendValueLine(out, "  ", "b", FormatFixed(element.color.z * 255, 5, 0));
    AppendValueLine(out, "  ", "x", Length(element.centre.x));
    AppendValueLine(out, "  ", "y", Length(element.centre.y));
    AppendValueLine(out, "  ", "z", Length(element.centre.z));
    AppendValueLine(out, "  ", "width", Length(element.size.x));
    AppendValueLine(out, "  ", "height", Length(element.size.y));
    AppendValueLine(out, "  ", "length", Length(element.size.z));
    AppendValueLine(out, "  ", "pitch", Angle(element.pitch));
    AppendValueLine(out, "  ", "yaw", Angle(element.yaw));
    AppendValueLine(out, "  ", "roll", Angle(element.roll));
    AppendValueLine(out, "  ", "text", EscapeText(element.label));
    AppendLine(out, "</element>");
}

} // namespace

namespace {

// The first text of the case that would not read back whole, named for the user; empty when
// every one fits.
std::string TextTooLong(const Case& theCase) {
    if (!CaseTextFits(theCase.body.GetName())) {
        return "the name of the body";
    }
    for (std::size_t i = 0; i < theCase.trajectories.size(); ++i) {
        if (!CaseTextFits(theCase.trajectories[i].label)) {
            return "the text of trajectory " + std::to_string(NumberOfIndex(i));
        }
    }
    for (std::size_t i = 0; i < theCase.elements.size(); ++i) {
        if (!CaseTextFits(theCase.elements[i].label)) {
            return "the text of element " + std::to_string(NumberOfIndex(i));
        }
    }
    if (std::string scene = SceneTextTooLong(theCase); !scene.empty()) {
        return scene;
    }
    if (std::string ct = CtTextTooLong(theCase); !ct.empty()) {
        return ct;
    }
    return CarriedTextTooLong(theCase);
}

} // namespace

Status DataFile::Write(const Case& theCase, const std::string& path) {
    if (const std::string text = TextTooLong(theCase); !text.empty()) {
        return Status::Failure("Cannot write data file \"" + path + "\": " + text +
                               " would take more than the " + std::to_string(kMaxCaseTextLength) +
                               " bytes a text may take");
    }
    if (const int error = ReplaceFileContents(path, Format(theCase, path))) {
        if (error == kFileReadOnly) {
            return Status::Failure("\"" + path + "\" is read-only.");
        }
        return Status::Failure("Cannot write data file \"" + path + "\": " + FileErrorText(error));
    }
    return Status::Ok();
}

DataFileReadResult DataFile::Read(Case& theCase, const std::string& path, std::string* bytesRead) {
    std::string text;
    if (const int error = ReadWholeFile(path, text, kMaxDataFileBytes)) {
        const std::string reason = error == kFileTooLarge
                                       ? "it is larger than 64 MiB, more than any case needs"
                                       : FileErrorText(error);
        DataFileReadResult result;
        result.status = Status::Failure("Cannot open data file \"" + path + "\": " + reason);
        return result;
    }
    DataFileReadResult result = ReadText(theCase, text, path);
    if (!result.ok()) {
        result.status =
            Status::Failure("Cannot open data file \"" + path + "\": " + result.status.message());
    }
    if (bytesRead != nullptr) {
        *bytesRead = std::move(text);
    }
    return result;
}

DataFileReadResult DataFile::ReadText(Case& theCase, std::string_view text,
                                      const std::string& path) {
    CaseFileRecord record =
        ReadCaseFileText(text, {theCase.TrajectoryCount(), theCase.ElementCount()});
    for (CaseFileRecord::SceneBlock& scene : record.sceneBlocks) {
        if (scene.modelFile) {
            scene.modelFile = SceneModelPathOfFile(*scene.modelFile, path);
        }
    }
    // The series' folder as the scene model's path: whole, a relative one from the file's folder.
    if (record.ct) {
        record.ct->folder = SceneModelPathOfFile(record.ct->folder, path);
    }
    // An empty file is an empty case, as it always was; any other text needs a tag of a case
    // (without one the record holds nothing to apply, and the case is not touched).
    if (!text.empty() && !record.sawCaseTag) {
        DataFileReadResult result;
        result.status = Status::Failure("not a data file");
        return result;
    }
    return ApplyCaseFile(record, theCase);
}

std::string DataFile::Format(const Case& theCase, const std::string& path) {
    const AppInfo& info = GetAppInfo();
    const Body& body = theCase.body;
    std::string out;
    AppendLine(out, "<root>");
    AppendLine(out, "");
    AppendLine(out, "<software>");
    AppendValueLine(out, "  ", "title", EscapeText(info.title));
    AppendValueLine(out, "  ", "version", EscapeText(info.version));
    AppendValueLine(out, "  ", "copyright", EscapeText(info.legalNotice));
    AppendValueLine(out, "  ", "rights", EscapeText(info.rightsNotice));
    AppendLine(out, "</software>");
    CaseInfoBlock::Append(out, theCase.info, kLineEnd);
    AppendLine(out, "");
    AppendLine(out, "<body>");
    AppendValueLine(out, "   ", "name", EscapeText(body.GetName()));
    // GetHeight gives the height in single precision, as it has always been written.
    AppendValueLine(out, "   ", "height", FormatFixed(body.GetHeight(), 4, kLengthDecimals));
    AppendBodyShape(out, body);
    AppendBodyPlacementLine(out, theCase, kLineEnd);
    AppendLine(out, "</body>");
    for (std::size_t i = 0; i < theCase.trajectories.size(); ++i) {
        AppendTrajectory(out, NumberOfIndex(i), theCase.trajectories[i]);
    }
    for (const Element& element : theCase.elements) {
        AppendElement(out, element);
    }
    AppendSceneBlock(out, theCase, SceneModelNameInFile(theCase.world.sceneModelFile, path),
                     kLineEnd);
    AppendCtBlock(out, theCase, SceneModelNameInFile(theCase.ct.folder, path), kLineEnd);
    AppendCarriedBlock(out, theCase, kLineEnd);
    AppendLine(out, "</root>");
    return out;
}
