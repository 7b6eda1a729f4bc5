#pragma once

#include "budget/UncertaintyBudget.h"
#include "case/CarriedFrom.h"
#include "case/CaseInfo.h"
#include "case/TrajectoryCourse.h"
#include "report/DiagramWound.h"
#include "report/ReportOrigin.h"
#include "report/TrackPointFacts.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class PosedCase;
struct ReportDraws;

// A file the report names: its name (without folders) and the SHA-256 of its bytes.
struct FileFact {
    std::string name;                  // empty when there is no file (an unsaved case)
    std::optional<std::string> sha256; // lower-case hex; empty when the file cannot be read
    std::string problem;               // why there is no hash, for the reader
};

struct TrajectoryFacts {
    int number = 0;
    std::string label;
    bool bulletInside = false;
    std::array<double, 3> inCm{};
    std::array<double, 3> outCm{};
    double direction = 0; // the displayed direction angle of the posed track, degrees
    double elevation = 0; // of the posed track, degrees
    // The same in the anatomical position (the measured points themselves).
    double anatomicalDirection = 0, anatomicalElevation = 0;
    // The body diagrams IN and OUT are marked on; OUT has none when the bullet stayed inside.
    DiagramSide inDiagram = DiagramSide::Front;
    std::optional<DiagramSide> outDiagram;
    // The body parts of IN and OUT (empty for a trajectory of an older file, which follows the
    // arm or not as `followsArm` says) and the points where the posture carries them.
    std::string inPart, outPart;
    bool followsArm = false;
    std::array<double, 3> posedInCm{};
    std::array<double, 3> posedOutCm{};
    // The 95 % figures from every source the case names, of the posed track and of the measured
    // points; none without a direction.
    std::optional<UncertaintyBudget> budget;
    TrajectoryCourse course;
    std::string inDescription; // where the point lies on the body; empty when not known
    std::string outDescription;
    std::array<double, 3> offsetCm{}; // adjustment of the drawn arrow
    double yawAdjustment = 0;         // degrees
    double pitchAdjustment = 0;       // degrees
    // The points between IN and OUT, the fitted line's misfits and the pieces; empty points for
    // a track of IN and OUT alone.
    TrackPointsFacts track;
};

struct ElementFacts {
    int number = 0;
    std::string label;
    std::array<double, 3> centreCm{};
    std::array<double, 3> sizeCm{}; // width, height, length
    double yaw = 0, pitch = 0, roll = 0;
};

// A landmark of the body model, where it lies in the anatomical position and where the posed skin
// carries it (body frame, centimetres; the same when the body is not posed).
struct LandmarkFacts {
    std::string name;
    std::array<double, 3> anatomicalCm{};
    std::array<double, 3> posedCm{};
};

// A metal object found in the CT series: its centroid (body frame, cm), volume, largest extent
// and highest value.
struct CtMetalFacts {
    std::array<double, 3> centroidCm{};
    double volumeMm3 = 0;
    double extentMm = 0;
    int peakHu = 0;
};

// The CT series a body was drawn from, as the report cites it.
struct CtBodyFacts {
    std::string folder; // the series' folder as the case holds it
    std::string seriesUid;
    // The rest only once the series is read (false: the case names a series it has not read).
    bool read = false;
    std::string description;
    std::string date;                // as the files give it (YYYYMMDD)
    double sliceThickness = 0;       // mm; 0 when the files do not state it
    std::array<double, 3> spacing{}; // mm: along a row, down the columns, between slices
    std::array<int, 3> voxels{};
    int skinThresholdHu = 0, boneThresholdHu = 0;
    double bodyLengthCm = 0;
    std::size_t skinTriangles = 0, boneTriangles = 0;
    std::string sha256; // of the series' files (kCtSeriesHashRule)
    // The metal objects, largest first, and the threshold they were found at; metalSearched is
    // false when the search failed (a threshold too low for the series).
    bool metalSearched = false;
    int metalThresholdHu = 0;
    std::vector<CtMetalFacts> metal;
};

// How the body frame of a CT body is set, and how the series' SHA-256 is made, as the report
// states them.
inline constexpr std::string_view kCtBodyFrameRule =
    "body frame from the scan: y = 0 at the soles, z = 0 at the back, x = 0 at the middle of the "
    "skin's width; +X toward the body's left, +Y toward the head, +Z toward the front";
inline constexpr std::string_view kCtSeriesHashRule =
    "SHA-256 of the series' files, one after the other in the byte order of their names";

// Every fact a case report states, gathered once so that the three formats say the same.
struct CaseReport {
    std::string software;  // "Ruvolane 2.7.0"
    std::string generated; // ISO 8601, local time with its offset
    FileFact caseFile;
    CaseInfo caseInfo;
    std::string bodyName;
    double bodyHeight = 0; // m
    double scaleX = 1, scaleZ = 1;
    FileFact bodyModel;
    double armYaw = 0, armPitch = 0;
    double forearmYaw = 0, forearmPitch = 0;
    // The posture: its preset's name (or "custom"), every joint's yaw, pitch and roll in the
    // skeleton's order, and the whole body's turn.
    std::string postureName;
    std::vector<std::pair<std::string, std::array<double, 3>>> joints;
    std::array<double, 3> bodyTurn{};
    // Whether the posture moves anything, and whether the body stands placed in the scene.
    bool posed = false, placed = false;
    std::vector<LandmarkFacts> landmarks;
    std::string budgetConvention; // how the uncertainty budget is made
    std::vector<TrajectoryFacts> trajectories;
    std::vector<ElementFacts> elements;
    // The marks of the body diagrams: each wound where it was measured, on its side of the body.
    std::vector<DiagramWound> wounds;
    // What reading the case file left out or replaced, one sentence each: the case reported is
    // then not all the file holds, whatever its SHA-256 says.
    std::vector<std::string> readingNotes;
    // Where the shots came from, in the scene frame.
    OriginFacts origin;
    // The CT series the body came from; none for a body model.
    std::optional<CtBodyFacts> ct;
    // The CT body the case was carried from to the posable body; none for a case measured on
    // the body it stands on.
    std::optional<CarriedFrom> carried;
};

// Where the case came from and how to describe a point on the body.
struct ReportSource {
    std::string caseFile;  // the data file that holds the case; empty for an unsaved case
    std::string generated; // empty: now
    // Describes a body point given in metres; empty: located from the body's midline, heel and
    // nearest landmark.
    std::function<std::string(double x, double y, double z)> describePoint;
    // The reader's notes on the case file: values and blocks it left out or replaced.
    std::vector<std::string> readingNotes;
    // The bytes the case was read from (or found equal to): the report cites their SHA-256, never
    // that of the file opened again, which may since have been replaced. Nothing: the file is
    // read for its hash.
    std::optional<std::string> caseFileBytes = std::nullopt;
    // The budgets and origin analysis already drawn for this posed case (DrawReport), which
    // must outlive the gathering; null: they are drawn while the report is gathered.
    const ReportDraws* drawn = nullptr;
};

// The facts of the posed case (the case is posed.GetCase()). Each trajectory's uncertainty budget
// is drawn once (DrawReport): by the origin analysis where it follows the draws into the scene,
// otherwise on its own.
CaseReport GatherCaseReport(const PosedCase& posed, const ReportSource& source);

// The current local time as ISO 8601 with its offset from UTC, to the second.
std::string CurrentLocalTime();
// The name and SHA-256 of a file; a file that cannot be read keeps its name and says why.
FileFact DescribeFile(const std::string& path);
// The name of the file at `path` and the SHA-256 of `bytes`, the bytes read from it.
FileFact DescribeFileBytes(const std::string& path, std::string_view bytes);
// The name of the model file at `path` and `readSha256`, the digest its reader took of the bytes
// it parsed (empty: no model was read from it, and the fact says so).
FileFact DescribeReadModel(const std::string& path, const std::string& readSha256);
