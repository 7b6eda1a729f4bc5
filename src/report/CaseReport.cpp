#include "report/CaseReport.h"

#include "case/PosedTrack.h"

#include "base/AppInfo.h"
#include "base/FileAccess.h"
#include "body/BodyPointDescription.h"
#include "case/Case.h"
#include "case/PosedTrack.h"

#include <QCryptographicHash>
#include <QDateTime>

namespace {

constexpr double kCentimetresPerMetre = 100.0;

std::array<double, 3> Centimetres(double x, double y, double z) {
    return {x * kCentimetresPerMetre, y * kCentimetresPerMetre, z * kCentimetresPerMetre};
}

std::string FileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

TrajectoryFacts GatherTrajectory(const Trajectory& trajectory, int number,
                                 const ReportSource& source, const LandmarkTable* landmarks) {
    TrajectoryFacts facts;
    facts.number = number;
    facts.label = trajectory.GetText();
    facts.bulletInside = trajectory.GetExited() == 0;
    facts.inCm = Centimetres(trajectory.GetX1(), trajectory.GetY1(), trajectory.GetZ1());
    facts.outCm = Centimetres(trajectory.GetX2(), trajectory.GetY2(), trajectory.GetZ2());
    facts.direction = trajectory.GetDirectionAngle();
    facts.elevation = trajectory.GetElevationDegrees();
    facts.course = DescribeTrajectory(trajectory);
    if (source.describePoint) {
        facts.inDescription =
            source.describePoint(trajectory.GetX1(), trajectory.GetY1(), trajectory.GetZ1());
        facts.outDescription =
            source.describePoint(trajectory.GetX2(), trajectory.GetY2(), trajectory.GetZ2());
    } else if (landmarks) {
        facts.inDescription = DescribeBodyPoint(
            {trajectory.GetX1(), trajectory.GetY1(), trajectory.GetZ1()}, *landmarks);
        facts.outDescription = DescribeBodyPoint(
            {trajectory.GetX2(), trajectory.GetY2(), trajectory.GetZ2()}, *landmarks);
    }
    facts.offsetCm = Centimetres(trajectory.GetDx(), trajectory.GetDy(), trajectory.GetDz());
    facts.yawAdjustment = trajectory.GetDYaw();
    facts.pitchAdjustment = trajectory.GetDPitch();
    return facts;
}

ElementFacts GatherElement(const Element& element, int number) {
    ElementFacts facts;
    facts.number = number;
    facts.label = element.GetText();
    facts.centreCm = Centimetres(element.GetX(), element.GetY(), element.GetZ());
    facts.sizeCm = Centimetres(element.GetWidth(), element.GetHeight(), element.GetLength());
    facts.yaw = element.GetYaw();
    facts.pitch = element.GetPitch();
    facts.roll = element.GetRoll();
    return facts;
}

} // namespace

std::string CurrentLocalTime() {
    const QDateTime now = QDateTime::currentDateTime();
    // Always "+hh:mm" after the time, also for UTC (Qt would write "Z"), so that every report
    // carries its offset the same way.
    const int offsetMinutes = now.offsetFromUtc() / 60;
    const int magnitude = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    const QString offset = QString("%1%2:%3")
                               .arg(offsetMinutes < 0 ? '-' : '+')
                               .arg(magnitude / 60, 2, 10, QChar('0'))
                               .arg(magnitude % 60, 2, 10, QChar('0'));
    return (now.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + offset).toStdString();
}

FileFact DescribeFile(const std::string& path) {
    FileFact fact;
    fact.name = FileName(path);
    std::string bytes;
    if (const int error = ReadWholeFile(path, bytes)) {
        fact.problem = std::string("cannot be read: ") + FileErrorText(error);
        return fact;
    }
    const QByteArray digest =
        QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                 QCryptographicHash::Sha256);
    fact.sha256 = digest.toHex().toStdString();
    return fact;
}

namespace {

// The track as the posture carries it: its parts, its posed points and the angles reported,
// with its uncertainty budget (`budget` when the origin zones have made it already).
void AddPosedTrack(const Case& theCase, int number, std::optional<UncertaintyBudget> budget,
                   TrajectoryFacts& facts) {
    const Trajectory& trajectory = *theCase.GetTrajectory(number - 1);
    facts.inPart = trajectory.GetInPart();
    facts.outPart = trajectory.GetOutPart();
    facts.followsArm = !trajectory.HasParts() && trajectory.GetWithArm();
    facts.anatomicalDirection = facts.direction;
    facts.anatomicalElevation = facts.elevation;
    const PosedTrack track = PoseTrajectoryPoints(theCase, number);
    facts.posedInCm = {track.in.x * 100, track.in.y * 100, track.in.z * 100};
    facts.posedOutCm = {track.out.x * 100, track.out.y * 100, track.out.z * 100};
    const TrackAngles angles = AnglesOfTrack(track.in, track.out);
    facts.direction = angles.direction;
    facts.elevation = angles.elevation;
    facts.budget = budget ? std::move(budget) : ComputeUncertaintyBudget(theCase, number);
}

} // namespace

CaseReport GatherCaseReport(const Case& theCase, const ReportSource& source) {
    CaseReport report;
    report.software = GetAppInfo().title + " " + GetAppInfo().version;
    report.generated = source.generated.empty() ? CurrentLocalTime() : source.generated;
    if (!source.caseFile.empty()) {
        report.caseFile = DescribeFile(source.caseFile);
    }
    report.readingNotes = source.readingNotes;
    report.caseInfo = theCase.GetCaseInfo();
    const Body& body = theCase.GetBody();
    report.bodyName = body.GetName();
    report.bodyHeight = body.GetHeight();
    report.scaleX = body.GetScaleX();
    report.scaleZ = body.GetScaleZ();
    report.bodyModel = DescribeFile(theCase.GetBodyModelFile());
    // The right arm in the angles older reports gave: the arm hanging at pitch 90.
    const JointAngles& shoulder = body.GetPosture().Get(skeleton::Joint::RightShoulder);
    const JointAngles& elbow = body.GetPosture().Get(skeleton::Joint::RightElbow);
    report.armYaw = shoulder.yaw;
    report.armPitch = 90 - shoulder.roll;
    report.forearmYaw = elbow.pitch;
    report.forearmPitch = -elbow.roll;
    // Each point is also located on the body as drawn now: from the midline, the heel and the
    // nearest landmark of the body's table (when it has one).
    const LandmarkTable landmarks = body.DrawnLandmarks();
    // The origin zones first: where they draw the budget, the trajectory's facts take it.
    report.origin = GatherOrigin(theCase);
    for (int i = 0; i < theCase.GetTrajectoryCount(); ++i) {
        report.trajectories.push_back(
            GatherTrajectory(*theCase.GetTrajectory(i), i + 1, source, &landmarks));
        std::optional<UncertaintyBudget>& drawn =
            report.origin.analysis.trajectories[size_t(i)].budget;
        AddPosedTrack(theCase, i + 1, std::move(drawn), report.trajectories.back());
        drawn.reset();
    }
    const Posture& posture = body.GetPosture();
    report.postureName = posture.GetName();
    for (int j = 0; j < skeleton::kJointCount; ++j) {
        const skeleton::Joint joint = static_cast<skeleton::Joint>(j);
        const JointAngles& a = posture.Get(joint);
        report.joints.emplace_back(std::string(skeleton::InfoOf(joint).name),
                                   std::array<double, 3>{a.yaw, a.pitch, a.roll});
    }
    const JointAngles& turn = posture.GetBodyTurn();
    report.bodyTurn = {turn.yaw, turn.pitch, turn.roll};
    report.budgetConvention = UncertaintyBudgetConvention(theCase);
    const ElementList& elements = theCase.GetElements();
    for (int i = 0; i < elements.GetCount(); ++i) {
        report.elements.push_back(GatherElement(*elements.GetItem(i), i + 1));
    }
    return report;
}
