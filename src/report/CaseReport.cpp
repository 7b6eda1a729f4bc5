#include "report/CaseReport.h"

#include "base/AppInfo.h"
#include "base/FileAccess.h"
#include "case/BodyPointDescription.h"
#include "case/Case.h"

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

CaseReport GatherCaseReport(const Case& theCase, const ReportSource& source) {
    CaseReport report;
    report.software = GetAppInfo().title + " " + GetAppInfo().version;
    report.generated = source.generated.empty() ? CurrentLocalTime() : source.generated;
    if (!source.caseFile.empty()) {
        report.caseFile = DescribeFile(source.caseFile);
    }
    report.readingNotes = source.readingNotes;
    const Body& body = theCase.GetBody();
    report.bodyName = body.GetName();
    report.bodyHeight = body.GetHeight();
    report.scaleX = body.GetScaleX();
    report.scaleZ = body.GetScaleZ();
    report.bodyModel = DescribeFile(theCase.GetBodyModelFile());
    report.armYaw = body.GetArm().GetYaw();
    report.armPitch = body.GetArm().GetPitch();
    report.forearmYaw = body.GetForearm().GetYaw();
    report.forearmPitch = body.GetForearm().GetPitch();
    // Each point is also located on the body as drawn now: from the midline, the heel and the
    // nearest landmark of the body's table (when it has one).
    const LandmarkTable landmarks = body.DrawnLandmarks();
    for (int i = 0; i < theCase.GetTrajectoryCount(); ++i) {
        report.trajectories.push_back(
            GatherTrajectory(*theCase.GetTrajectory(i), i + 1, source, &landmarks));
    }
    const ElementList& elements = theCase.GetElements();
    for (int i = 0; i < elements.GetCount(); ++i) {
        report.elements.push_back(GatherElement(*elements.GetItem(i), i + 1));
    }
    report.origin = GatherOrigin(theCase);
    return report;
}
