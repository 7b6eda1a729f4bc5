#include "report/CaseReport.h"

#include "base/AppInfo.h"
#include "base/FileAccess.h"
#include "body/BodyPointDescription.h"
#include "case/Case.h"
#include "case/EntryNumber.h"
#include "case/PosedCase.h"
#include "report/ReportDraws.h"

#include <QCryptographicHash>
#include <QDateTime>

namespace {

constexpr double kCentimetresPerMetre = 100.0;

std::array<double, 3> Centimetres(const Vec3& point) {
    return {point.x * kCentimetresPerMetre, point.y * kCentimetresPerMetre,
            point.z * kCentimetresPerMetre};
}

std::string FileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The trajectory as measured and as the posture carries it: its points, parts and angles.
TrajectoryFacts GatherTrajectory(const Trajectory& trajectory, const PosedTrajectory& track,
                                 const ReportSource& source, const LandmarkTable& landmarks) {
    TrajectoryFacts facts;
    facts.number = track.number;
    facts.label = trajectory.label;
    facts.bulletInside = !trajectory.exited;
    facts.inCm = Centimetres(trajectory.in);
    facts.outCm = Centimetres(trajectory.out);
    facts.direction = track.posed.direction;
    facts.elevation = track.posed.elevation;
    facts.anatomicalDirection = track.anatomical.direction;
    facts.anatomicalElevation = track.anatomical.elevation;
    facts.inPart = trajectory.inPart;
    facts.outPart = trajectory.outPart;
    facts.followsArm = !trajectory.HasParts() && trajectory.withArm;
    facts.posedInCm = Centimetres(track.in);
    facts.posedOutCm = Centimetres(track.out);
    facts.course = DescribeTrajectory(trajectory);
    // Each point is located on the body in the anatomical position, where it was measured.
    const Vec3& in = trajectory.in;
    const Vec3& out = trajectory.out;
    if (source.describePoint) {
        facts.inDescription = source.describePoint(in.x, in.y, in.z);
        facts.outDescription = source.describePoint(out.x, out.y, out.z);
    } else {
        facts.inDescription = DescribeBodyPoint(in, landmarks);
        facts.outDescription = DescribeBodyPoint(out, landmarks);
    }
    facts.offsetCm = Centimetres(trajectory.offset);
    facts.yawAdjustment = trajectory.yawAdjustment;
    facts.pitchAdjustment = trajectory.pitchAdjustment;
    facts.track = GatherTrackPoints(trajectory, track.anatomicalLine);
    return facts;
}

ElementFacts GatherElement(const Element& element, int number) {
    ElementFacts facts;
    facts.number = number;
    facts.label = element.label;
    facts.centreCm = Centimetres(element.centre);
    facts.sizeCm = Centimetres(element.size);
    facts.yaw = element.yaw;
    facts.pitch = element.pitch;
    facts.roll = element.roll;
    return facts;
}

// Each landmark at rest and where the posture carries it.
std::vector<LandmarkFacts> GatherLandmarks(const PosedCase& posed) {
    const std::vector<Landmark>& anatomical = posed.AnatomicalLandmarks().GetLandmarks();
    const std::vector<Landmark>& carried = posed.PosedLandmarks().GetLandmarks();
    std::vector<LandmarkFacts> landmarks;
    for (size_t i = 0; i < anatomical.size() && i < carried.size(); ++i) {
        landmarks.push_back({anatomical[i].name, Centimetres(anatomical[i].position),
                             Centimetres(carried[i].position)});
    }
    return landmarks;
}

// The diagram each trajectory's IN and OUT are marked on.
void SetDiagramSides(const std::vector<DiagramWound>& wounds,
                     std::vector<TrajectoryFacts>& trajectories) {
    for (const DiagramWound& wound : wounds) {
        for (TrajectoryFacts& facts : trajectories) {
            if (facts.number != wound.number) {
                continue;
            }
            if (wound.entry) {
                facts.inDiagram = wound.side;
            } else {
                facts.outDiagram = wound.side;
            }
        }
    }
}

// The series the case's body was drawn from, as read; its folder and UID alone when the case
// names one it has not read.
std::optional<CtBodyFacts> GatherCt(const CaseCt& ct) {
    if (!ct.IsCtBody()) {
        return std::nullopt;
    }
    CtBodyFacts facts;
    facts.folder = ct.folder;
    facts.seriesUid = ct.seriesUid;
    if (!ct.scan) {
        return facts;
    }
    const CtScan& scan = *ct.scan;
    facts.read = true;
    facts.description = scan.facts.description;
    facts.date = scan.facts.date;
    facts.sliceThickness = scan.facts.sliceThickness;
    facts.spacing = scan.facts.spacing;
    facts.voxels = scan.facts.size;
    facts.skinThresholdHu = scan.skinThresholdHu;
    facts.boneThresholdHu = scan.boneThresholdHu;
    facts.bodyLengthCm = scan.bodyLengthCm;
    facts.skinTriangles = scan.skinTriangles;
    facts.boneTriangles = scan.boneTriangles;
    facts.sha256 = scan.seriesSha256;
    facts.metalSearched = scan.metalFailure.empty();
    facts.metalThresholdHu = scan.metalThresholdHu;
    for (const CtMetalObject& object : scan.metal) {
        const Vec3& c = object.centroidBody;
        facts.metal.push_back({{c.x, c.y, c.z}, object.volumeMm3, object.extentMm, object.peakHu});
    }
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
    std::string bytes;
    if (const int error = ReadWholeFile(path, bytes)) {
        FileFact fact;
        fact.name = FileName(path);
        fact.problem = std::string("cannot be read: ") + FileErrorText(error);
        return fact;
    }
    return DescribeFileBytes(path, bytes);
}

FileFact DescribeFileBytes(const std::string& path, std::string_view bytes) {
    FileFact fact;
    fact.name = FileName(path);
    const QByteArray digest =
        QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                 QCryptographicHash::Sha256);
    fact.sha256 = digest.toHex().toStdString();
    return fact;
}

FileFact DescribeReadModel(const std::string& path, const std::string& readSha256) {
    FileFact fact;
    fact.name = FileName(path);
    if (readSha256.empty()) {
        fact.problem = "no model was read from it";
    } else {
        fact.sha256 = readSha256;
    }
    return fact;
}

CaseReport GatherCaseReport(const PosedCase& posed, const ReportSource& source) {
    const Case& theCase = posed.GetCase();
    CaseReport report;
    report.software = GetAppInfo().title + " " + GetAppInfo().version;
    report.generated = source.generated.empty() ? CurrentLocalTime() : source.generated;
    if (!source.caseFile.empty()) {
        report.caseFile = source.caseFileBytes
                              ? DescribeFileBytes(source.caseFile, *source.caseFileBytes)
                              : DescribeFile(source.caseFile);
    }
    report.readingNotes = source.readingNotes;
    report.caseInfo = theCase.info;
    const Body& body = theCase.body;
    report.bodyName = body.GetName();
    report.bodyHeight = body.GetHeight();
    report.scaleX = body.GetScaleX();
    report.scaleZ = body.GetScaleZ();
    // The digest the reader took of the bytes it parsed: the file may have been replaced since.
    report.bodyModel = DescribeReadModel(theCase.bodyModelFile, body.ModelSha256());
    // The right arm in the angles older reports gave: the arm hanging at pitch 90.
    const JointAngles& shoulder = body.GetPosture().Get(skeleton::Joint::RightShoulder);
    const JointAngles& elbow = body.GetPosture().Get(skeleton::Joint::RightElbow);
    report.armYaw = shoulder.yaw;
    report.armPitch = 90 - shoulder.roll;
    report.forearmYaw = elbow.pitch;
    report.forearmPitch = -elbow.roll;
    report.posed = posed.IsPosed();
    report.placed = posed.IsPlaced();
    // The budgets and the origin zones that carry their draws, as the caller drew them or here.
    std::optional<ReportDraws> ownDraws;
    if (source.drawn == nullptr) {
        ownDraws = DrawReport(posed);
    }
    const ReportDraws& drawn = source.drawn != nullptr ? *source.drawn : *ownDraws;
    report.origin = drawn.origin;
    for (TrajectoryOrigin& origin : report.origin.analysis.trajectories) {
        origin.budget.reset(); // the trajectory's facts hold it
    }
    const std::vector<PosedTrajectory>& tracks = posed.GetTrajectories();
    for (size_t i = 0; i < tracks.size(); ++i) {
        TrajectoryFacts facts = GatherTrajectory(*theCase.TrajectoryNumbered(tracks[i].number),
                                                 tracks[i], source, posed.AnatomicalLandmarks());
        if (i < drawn.budgets.size()) {
            facts.budget = drawn.budgets[i];
        }
        report.trajectories.push_back(std::move(facts));
    }
    report.wounds = CaseWounds(posed);
    SetDiagramSides(report.wounds, report.trajectories);
    report.landmarks = GatherLandmarks(posed);
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
    report.ct = GatherCt(theCase.ct);
    if (report.ct) {
        // The body is the scan's skin, not the model the case was started with: the report cites
        // the series instead (its name, like an unsaved file's, is null in the JSON).
        report.bodyModel = FileFact();
    }
    if (theCase.carriedFrom.IsCarried()) {
        report.carried = theCase.carriedFrom;
    }
    for (size_t i = 0; i < theCase.elements.size(); ++i) {
        report.elements.push_back(GatherElement(theCase.elements[i], NumberOfIndex(i)));
    }
    return report;
}
