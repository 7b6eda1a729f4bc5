#include "report/ReportHtml.h"

#include "base/NumberText.h"
#include "report/CarriedBodies.h"
#include "report/CtTrackFigure.h"
#include "report/HtmlText.h"
#include "report/ReportBlock.h"
#include "report/ReportOrigin.h"
#include "report/TrackPointFacts.h"

#include <sstream>

namespace {

const char* const kDegree = "\u00b0";

std::string Escaped(const std::string& text) {
    return HtmlEscaped(text, LineEnds::AsBreaks);
}

std::string Angle(double degrees) {
    return OneDecimal(degrees) + kDegree;
}

std::string Point(const std::array<double, 3>& cm) {
    return "x " + OneDecimal(cm[0]) + ", y " + OneDecimal(cm[1]) + ", z " + OneDecimal(cm[2]) +
           " cm";
}

std::string FileName(const FileFact& file) {
    return file.name.empty() ? "not saved" : Escaped(file.name);
}

std::string FileHash(const FileFact& file) {
    if (file.name.empty()) {
        return "not saved";
    }
    // Small enough that the 64 digits stay on one line of a PDF page.
    return file.sha256
               ? "<tt style=\"font-size: 7pt; white-space: nowrap\">" + *file.sha256 + "</tt>"
               : Escaped(file.problem);
}

const char* const kTableStart =
    "<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n";

void Row(std::ostringstream& out, const std::string& name, const std::string& value) {
    out << "<tr><th align=\"left\" valign=\"top\">" << name << "</th><td>" << value
        << "</td></tr>\n";
}

void Figure(std::ostringstream& out, const ReportFigure& figure,
            const std::function<std::string(const std::string&)>& imageSource) {
    out << "<p align=\"center\"><img src=\"" << imageSource(figure.name) << "\" width=\""
        << figure.displayWidth << "\" alt=\"" << Escaped(figure.caption) << "\"><br><i>"
        << Escaped(figure.caption) << "</i></p>\n";
}

std::string GivenOr(const std::string& value, const char* absent) {
    return value.empty() ? std::string("<i>") + absent + "</i>" : Escaped(value);
}

void PairRow(std::ostringstream& out, const std::string& name, const std::string& value,
             const std::string& secondName, const std::string& secondValue) {
    out << "<tr><th align=\"left\" valign=\"top\">" << name << "</th><td>" << value
        << "</td><th align=\"left\" valign=\"top\">" << secondName << "</th><td>" << secondValue
        << "</td></tr>\n";
}

void WideRow(std::ostringstream& out, const std::string& name, const std::string& value) {
    out << "<tr><th align=\"left\" valign=\"top\">" << name << "</th><td colspan=\"3\">" << value
        << "</td></tr>\n";
}

// The case as a laboratory identifies it, the software and the file: the head of page 1, two
// facts a row so that the wound table and the diagrams follow on the same page.
void CaseInformation(std::ostringstream& out, const CaseReport& report) {
    const CaseInfo& info = report.caseInfo;
    out << "<h1>Case report</h1>\n" << kTableStart;
    PairRow(out, "Case number", GivenOr(info.Number(), "not given"), "Decedent",
            GivenOr(info.Decedent(), "not given"));
    PairRow(out, "Agency", GivenOr(info.Agency(), "not given"), "Examiner",
            GivenOr(info.Examiner(), "not given"));
    PairRow(out, "Date of the incident", GivenOr(info.Incident(), "not given"),
            "Date of the examination", GivenOr(info.Examined(), "not given"));
    if (!info.Notes().empty()) {
        WideRow(out, "Notes", Escaped(info.Notes()));
    }
    PairRow(out, "Software", Escaped(report.software), "Report made",
            "<span style=\"white-space: nowrap\">" + Escaped(report.generated) + "</span>");
    WideRow(out, "Case file", FileName(report.caseFile));
    WideRow(out, "Case file SHA-256", FileHash(report.caseFile));
    out << "</table>\n";
}

std::string Millimetres(double value) {
    return FormatFixed(value, 0, 3) + " mm";
}

// The metal objects found in the series, largest first: a bullet, its fragments, a clip.
void CtMetalTable(std::ostringstream& out, const CtBodyFacts& ct) {
    out << "<h3>Metal objects</h3>\n";
    if (!ct.metalSearched) {
        out << "<p>Not looked for: the threshold is too low for this series.</p>\n";
        return;
    }
    out << "<p>Every connected object above " << ct.metalThresholdHu
        << " HU, largest first; the centroid in the body frame.</p>\n";
    if (ct.metal.empty()) {
        out << "<p>None.</p>\n";
        return;
    }
    out << kTableStart
        << "<tr><th>No.</th><th>Centroid</th><th>Volume</th><th>Largest extent</th><th>Peak</th>"
           "</tr>\n";
    for (std::size_t i = 0; i < ct.metal.size(); ++i) {
        const CtMetalFacts& object = ct.metal[i];
        out << "<tr><td>" << i + 1 << "</td><td>" << Point(object.centroidCm) << "</td><td>"
            << FormatFixed(object.volumeMm3, 0, 0) << " mm&sup3;</td><td>"
            << OneDecimal(object.extentMm) << " mm</td><td>" << object.peakHu << " HU</td></tr>\n";
    }
    out << "</table>\n";
}

// A body drawn from a CT series: the series and how the body was made from it, in place of the
// body model, its stretches and its joints (the scan's posture is the body's).
void CtBodySection(std::ostringstream& out, const CaseReport& report, const CtBodyFacts& ct) {
    out << "<h2>Body</h2>\n" << kTableStart;
    Row(out, "Body", Escaped(report.bodyName));
    Row(out, "Body source", "CT series (the decedent's own body, as scanned)");
    Row(out, "CT folder", Escaped(ct.folder));
    Row(out, "Series UID", Escaped(ct.seriesUid));
    if (!ct.read) {
        Row(out, "Series", "not read");
        out << "</table>\n";
        return;
    }
    Row(out, "Series description", ct.description.empty() ? "none" : Escaped(ct.description));
    Row(out, "Series date", ct.date.empty() ? "none" : Escaped(ct.date));
    Row(out, "Slice thickness",
        ct.sliceThickness > 0 ? Millimetres(ct.sliceThickness) : "not stated");
    Row(out, "Voxel size",
        FormatFixed(ct.spacing[0], 0, 3) + " &times; " + FormatFixed(ct.spacing[1], 0, 3) +
            " &times; " + Millimetres(ct.spacing[2]));
    Row(out, "Voxels",
        std::to_string(ct.voxels[0]) + " &times; " + std::to_string(ct.voxels[1]) + " &times; " +
            std::to_string(ct.voxels[2]));
    Row(out, "Thresholds",
        "skin " + std::to_string(ct.skinThresholdHu) + " HU, bone " +
            std::to_string(ct.boneThresholdHu) + " HU");
    Row(out, "Surfaces",
        std::to_string(ct.skinTriangles) + " skin triangles, " + std::to_string(ct.boneTriangles) +
            " bone triangles");
    Row(out, "Body length", FormatFixed(ct.bodyLengthCm, 0, 1) + " cm");
    Row(out, "Body frame", Escaped(std::string(kCtBodyFrameRule)));
    Row(out, "Series SHA-256",
        "<span style=\"font-family: monospace\">" + Escaped(ct.sha256) + "</span><br>(" +
            Escaped(std::string(kCtSeriesHashRule)) + ")");
    Row(out, "Posture", "as scanned");
    out << "</table>\n";
    CtMetalTable(out, ct);
}

// A case measured on a CT body and carried to the posable body: both bodies, the series cited as
// the CT case cites it, and how each point was placed.
void CarriedRows(std::ostringstream& out, const CarriedFrom& carried) {
    Row(out, "Body source", Escaped(CarriedBodiesText(carried)));
    Row(out, "CT folder", Escaped(carried.ctFolder));
    Row(out, "Series SHA-256",
        carried.seriesSha256.empty() ? "not known"
                                     : "<span style=\"font-family: monospace\">" +
                                           Escaped(carried.seriesSha256) + "</span>");
}

void BodyFacts(std::ostringstream& out, const CaseReport& report) {
    if (report.ct) {
        CtBodySection(out, report, *report.ct);
        return;
    }
    out << "<h2>Body</h2>\n" << kTableStart;
    Row(out, "Body", Escaped(report.bodyName));
    if (report.carried) {
        CarriedRows(out, *report.carried);
    }
    Row(out, "Body model file", FileName(report.bodyModel));
    Row(out, "Body model SHA-256", FileHash(report.bodyModel));
    Row(out, "Body height", FormatFixed(report.bodyHeight, 0, 2) + " m");
    Row(out, "Lateral scale", FormatFixed(report.scaleX, 0, 2));
    Row(out, "Front-to-back scale", FormatFixed(report.scaleZ, 0, 2));
    Row(out, "Posture", Escaped(report.postureName));
    for (const auto& [name, angles] : report.joints) {
        Row(out, "Joint " + Escaped(name),
            "yaw " + Angle(angles[0]) + ", pitch " + Angle(angles[1]) + ", roll " +
                Angle(angles[2]));
    }
    Row(out, "Whole body turn",
        "yaw " + Angle(report.bodyTurn[0]) + ", pitch " + Angle(report.bodyTurn[1]) + ", roll " +
            Angle(report.bodyTurn[2]));
    out << "</table>\n";
}

// Right below the file's citation: a file whose reading left something out or replaced it holds
// more (or other) than the case this report describes.
void ReadingNotes(std::ostringstream& out, const std::vector<std::string>& notes) {
    if (notes.empty()) {
        return;
    }
    out << "<h2>Reading the case file</h2>\n"
           "<p>The case described here is not all the case file holds. Reading it left out or "
           "replaced:</p>\n<ul>\n";
    for (const std::string& note : notes) {
        out << "<li>" << Escaped(note) << "</li>\n";
    }
    out << "</ul>\n";
}

// The one paragraph that says which angles the report gives: for a posed body both, each
// labelled; for a body in the anatomical position the one set there is.
std::string PostureConvention(const CaseReport& report) {
    // A CT body lies as it was scanned, which need not be the anatomical position: its one set of
    // angles is that of the body as scanned, and it is never posed.
    if (report.ct) {
        return "The body is the decedent's own, drawn from a CT series, in the posture it was "
               "scanned in: IN and OUT are as measured on it and there is one set of angles, that "
               "of the body <i>as scanned</i>, which is the anatomical position only as far as "
               "the scan's posture is. Its 95 % intervals are those of every source the "
               "uncertainty budget names. The body diagrams show each wound where it was "
               "measured, on the side of the body it lies on.";
    }
    const std::string diagrams =
        " The body diagrams show the body in the anatomical position, each wound where it was "
        "measured, on the side of the body it lies on.";
    if (!report.posed) {
        return "The body stands in the anatomical position: IN and OUT are as measured and "
               "there is one set of angles, that of the anatomical position. Its 95 % "
               "intervals are those of every source the uncertainty budget names, the spread of "
               "the joints about the anatomical position included." +
               diagrams;
    }
    return "The body is posed (" + Escaped(report.postureName) +
           "). Each measured point belongs to the body part under it and moves with that "
           "part's bone (a trajectory of an older file, without parts, moves whole with the "
           "right arm or not at all). Every angle is therefore given twice, each labelled: "
           "<i>anatomical position</i>, between IN and OUT as measured, the body standing in "
           "the anatomical position, as wound tracks are described; and <i>as posed</i>, "
           "between the posed IN and OUT, the body in its posture. Each 95 % interval stands "
           "beside the angle it belongs to: those of the anatomical position come from the "
           "uncertainty budget's draws before the posture carries them (the balls and the soft "
           "tissue alone), those as posed from every source. The course, the plane angles and "
           "the balls' uncertainty describe the track in the anatomical position." +
           diagrams;
}

void Conventions(std::ostringstream& out, const CaseReport& report) {
    out << "<h2>Conventions</h2>\n"
           "<p><b>Units.</b> Positions and sizes are in centimetres, the body height in metres, "
           "angles in degrees. Values are shown to one decimal.</p>\n"
           "<p><b>Body frame.</b> +X points toward the body's left, +Y up and +Z toward the "
           "body's front. The body faces +Z and stands with its feet on y = 0; its midline is "
           "x = 0 and its back z = 0. The front view therefore shows the body's right on the "
           "left of the picture, as anatomical pictures do.</p>\n"
           "<p><b>Direction angle.</b> The bearing of the horizontal projection of the line from "
           "IN (entry) to OUT (exit): 0&deg; toward &minus;Z (front to back), 90&deg; toward +X "
           "(right to left), 180&deg; toward +Z (back to front), 270&deg; toward &minus;X (left "
           "to right). A track without horizontal travel reads 0.0&deg;.</p>\n"
           "<p><b>Elevation angle.</b> The angle between the track and the horizontal plane, "
           "positive when OUT is higher than IN. A horizontal travel under 1 mm counts as 1 mm, "
           "so a vertical track reads &plusmn;89.8&deg;.</p>\n"
           "<p><b>Posture.</b> "
        << PostureConvention(report)
        << "</p>\n"
           "<p><b>Course.</b> Each component of IN&rarr;OUT is named when it is 1 mm or more: "
           "anteroposterior (front to back / back to front), lateral (right to left / left to "
           "right), vertical (upward / downward).</p>\n"
           "<p><b>Plane angles.</b> From the absolute components, a component under 1 mm "
           "counting as 0: transverse = atan2(|&Delta;X|, |&Delta;Z|), the deviation from the "
           "front&ndash;back axis in the horizontal plane; sagittal = atan2(|&Delta;Y|, "
           "|&Delta;Z|), the deviation from the horizontal seen from the side; coronal = "
           "atan2(|&Delta;Y|, |&Delta;X|), the deviation from the horizontal seen from the "
           "front. An angle is not defined when both of its components are under 1 mm.</p>\n"
           "<p><b>Uncertainty.</b> IN and OUT may each lie anywhere in a ball of radius r. "
           "Every line through both balls lies in a cone around IN&rarr;OUT of half-angle "
           "&alpha; = asin(2r / L), L being the distance from IN to OUT; when L &le; 2r the "
           "direction is undetermined. With the direction angle D and elevation E, the "
           "direction lies within D &plusmn; asin(sin &alpha; / cos E), read clockwise (with "
           "growing bearing) from the first bound to the second, unless &alpha; &ge; 90&deg; "
           "&minus; |E|, when it may be anything from 0&deg; to 360&deg;; the elevation lies "
           "within E &plusmn; &alpha;, kept within &plusmn;90&deg;.</p>\n"
           "<p><b>Adjustments.</b> An adjustment moves or turns only the drawn arrow; it never "
           "changes IN, OUT or any angle in this report.</p>\n";
}

std::string TrajectoryTitle(const TrajectoryFacts& t) {
    std::string title = "Trajectory " + std::to_string(t.number);
    if (!t.label.empty()) {
        title += ": " + Escaped(t.label);
    }
    return title;
}

std::string PointWithDescription(const std::array<double, 3>& cm, const std::string& where) {
    return where.empty() ? Point(cm) : Point(cm) + "<br>" + Escaped(where);
}

// Where IN and OUT lie on the body, and how the posture carries them.
std::string PartsText(const TrajectoryFacts& t) {
    if (t.inPart.empty()) {
        return t.followsArm ? "none (older file): follows the right arm"
                            : "none (older file): stays as measured";
    }
    return "IN " + Escaped(t.inPart) + ", OUT " + Escaped(t.outPart);
}

// One of a track's two angles, as the budget gives its intervals.
enum class TrackAngle { Direction, Elevation };

// The 95 % interval of an angle of the posed track or of the measured points; none without a
// budget.
std::optional<std::array<double, 2>> Interval95(const TrajectoryFacts& t, TrackAngle angle,
                                                bool anatomical) {
    if (!t.budget) {
        return std::nullopt;
    }
    const AngleIntervals intervals = anatomical ? t.budget->anatomical : t.budget->Posed();
    if (angle == TrackAngle::Direction) {
        return intervals.directionDetermined
                   ? std::optional<std::array<double, 2>>(intervals.directionInterval)
                   : std::nullopt;
    }
    return intervals.elevationInterval;
}

std::string IntervalText(const std::array<double, 2>& interval) {
    return "(95 %: " + Angle(interval[0]) + " to " + Angle(interval[1]) + ")";
}

double AngleOf(const TrajectoryFacts& t, TrackAngle angle, bool anatomical) {
    if (angle == TrackAngle::Direction) {
        return anatomical ? t.anatomicalDirection : t.direction;
    }
    return anatomical ? t.anatomicalElevation : t.elevation;
}

// The angle of a posed body's track labelled as what it is, with its own interval beside it:
// "anatomical position 101.2° (95 %: 99.0° to 103.4°)", "as posed 12.3°".
std::string LabelledAngle(const TrajectoryFacts& t, TrackAngle angle, bool anatomical,
                          const char* gap) {
    std::string text =
        std::string(anatomical ? "<i>anatomical position</i> " : "<i>as posed</i> ") +
        Angle(AngleOf(t, angle, anatomical));
    if (const auto interval = Interval95(t, angle, anatomical)) {
        text += gap + IntervalText(*interval);
    } else if (t.budget) {
        text += gap + std::string("(undetermined)");
    }
    return text;
}

// A section's angle row: for a body in the anatomical position its one angle, for a posed body
// the angle of the anatomical position and the angle as posed, each with its interval.
std::string SectionAngle(const TrajectoryFacts& t, TrackAngle angle, bool posed) {
    if (!posed) {
        return Angle(AngleOf(t, angle, false));
    }
    return LabelledAngle(t, angle, true, " ") + "<br>" + LabelledAngle(t, angle, false, " ");
}

std::string StopName(std::size_t stop, std::size_t stops) {
    if (stop == 0) {
        return "IN";
    }
    return stop + 1 == stops ? "OUT" : std::to_string(stop);
}

std::string MisfitText(double cm, bool offLine, bool fitted) {
    if (!fitted) {
        return "not defined";
    }
    return OneDecimal(cm) + " cm" + (offLine ? " <b>(off the line)</b>" : "");
}

std::string StopRow(const std::string& name, const std::array<double, 3>& cm, double radiusCm,
                    const std::string& part, const std::string& misfit) {
    return "<tr><td>" + name + "</td><td>" + Point(cm) + "</td><td>" + OneDecimal(radiusCm) +
           " cm</td><td>" + (part.empty() ? std::string("<i>not known</i>") : Escaped(part)) +
           "</td><td>" + Escaped(DescribeFromBodyPlanes(cm[0] / 100, cm[1] / 100, cm[2] / 100)) +
           "</td><td>" + misfit + "</td></tr>\n";
}

// The pieces of a track through several body parts, and the angle between each and the next.
void TrackPieces(std::ostringstream& out, const TrackPointsFacts& track) {
    const std::size_t stops = track.points.size() + 2;
    out << "<p><b>Pieces</b> (anatomical position):</p>\n<ul>\n";
    for (std::size_t k = 0; k < track.pieces.size(); ++k) {
        const TrackPieceFacts& piece = track.pieces[k];
        out << "<li>Piece " << k + 1 << ", " << StopName(piece.firstStop, stops) << " to "
            << StopName(piece.lastStop, stops) << " ("
            << (piece.part.empty() ? std::string("part not known") : Escaped(piece.part))
            << "): direction " << Angle(piece.direction) << ", elevation " << Angle(piece.elevation)
            << "</li>\n";
        if (k < track.deflection.size()) {
            out << "<li>Deflection between pieces " << k + 1 << " and " << k + 2 << ": "
                << Angle(track.deflection[k]) << "</li>\n";
        }
    }
    out << "</ul>\n";
}

const char* const kStopTableHead =
    "<tr><th>Stop</th><th>Point</th><th>Radius</th><th>Part</th><th>Where on the body</th>"
    "<th>Misfit</th></tr>\n";

// The rows of a track with points between IN and OUT, IN first: where each stop lies, how well
// it is known, the part it moves with, where it lies from the body's planes and how far the line
// fitted through all of them passes from it.
std::vector<std::string> StopRows(const TrajectoryFacts& t) {
    const TrackPointsFacts& track = t.track;
    std::vector<std::string> rows{
        StopRow("IN", t.inCm, track.inRadiusCm, t.inPart,
                MisfitText(track.inMisfitCm, track.inOffLine, track.fitted))};
    for (std::size_t i = 0; i < track.points.size(); ++i) {
        const TrackPointFacts& p = track.points[i];
        rows.push_back(StopRow(std::to_string(i + 1), p.cm, p.radiusCm, p.part,
                               MisfitText(p.misfitCm, p.offLine, track.fitted)));
    }
    rows.push_back(StopRow("OUT", t.outCm, track.outRadiusCm, t.outPart,
                           MisfitText(track.outMisfitCm, track.outOffLine, track.fitted)));
    return rows;
}

// Whether the stops lie on one line, and the pieces of a track through several parts.
void TrackLineVerdict(std::ostringstream& out, const TrackPointsFacts& track) {
    if (!track.fitted) {
        out << "<p><b>No line can be fitted: the stops coincide.</b></p>\n";
        return;
    }
    out << "<p>"
        << (track.onOneLine ? "Every stop lies on the line."
                            : "<b>Not every stop lies on one line.</b>")
        << "</p>\n";
    if (track.pieces.size() > 1) {
        TrackPieces(out, track);
    }
}

void WriteTrajectory(std::ostringstream& out, const TrajectoryFacts& t, bool posed) {
    const PlaneAngles& planes = t.course.planeAngles;
    // The track's description is that of the measured points; a posed body's report says so.
    const std::string anatomical = posed ? " (anatomical position)" : "";
    out << "<h2>" << TrajectoryTitle(t) << "</h2>\n" << kTableStart;
    Row(out, "Bullet", t.bulletInside ? "bullet inside body" : "exited");
    Row(out, "IN", PointWithDescription(t.inCm, t.inDescription));
    Row(out, t.bulletInside ? "OUT (bullet retained here)" : "OUT",
        PointWithDescription(t.outCm, t.outDescription));
    Row(out, "Body parts", PartsText(t));
    Row(out, "Direction angle", SectionAngle(t, TrackAngle::Direction, posed));
    Row(out, "Elevation angle", SectionAngle(t, TrackAngle::Elevation, posed));
    if (t.budget) {
        Row(out, posed ? "Uncertainty budget (as posed)" : "Uncertainty budget",
            Escaped(t.budget->Statement()));
    }
    Row(out, "Course" + anatomical, Escaped(t.course.sentence));
    Row(out, "Plane angles" + anatomical,
        "transverse " + DegreesText(planes.transverse) + ", sagittal " +
            DegreesText(planes.sagittal) + ", coronal " + DegreesText(planes.coronal));
    Row(out, "Uncertainty" + anatomical, Escaped(UncertaintyText(t.course.uncertainty)));
    Row(out, "Adjustment (drawing only)",
        "offset " + Point(t.offsetCm) + "; yaw " + Angle(t.yawAdjustment) + ", pitch " +
            Angle(t.pitchAdjustment));
    out << "</table>\n";
}

// A wound table's angle cell: the angle with its interval under it ("undetermined" without a
// budget); for a posed body the angle of the anatomical position and the angle as posed, each so.
std::string WoundAngleCell(const TrajectoryFacts& t, TrackAngle angle, bool posed) {
    if (!posed) {
        const auto interval = Interval95(t, angle, false);
        return Angle(AngleOf(t, angle, false)) + "<br>" +
               (interval ? IntervalText(*interval) : std::string("undetermined"));
    }
    std::string cell;
    for (const bool anatomical : {true, false}) {
        cell += (anatomical ? "" : "<br>") + LabelledAngle(t, angle, anatomical, "<br>") +
                (t.budget ? "" : "<br>undetermined");
    }
    return cell;
}

void Elements(std::ostringstream& out, const std::vector<ElementFacts>& elements) {
    out << "<h2>Elements</h2>\n";
    if (elements.empty()) {
        out << "<p>None.</p>\n";
        return;
    }
    out << kTableStart
        << "<tr><th>No.</th>"
           "<th>Label</th><th>Centre (cm)</th><th>Width &times; height &times; length (cm)</th>"
           "<th>Yaw</th><th>Pitch</th><th>Roll</th></tr>\n";
    for (const ElementFacts& e : elements) {
        out << "<tr><td>" << e.number << "</td><td>" << Escaped(e.label) << "</td><td>"
            << OneDecimal(e.centreCm[0]) << ", " << OneDecimal(e.centreCm[1]) << ", "
            << OneDecimal(e.centreCm[2]) << "</td><td>" << OneDecimal(e.sizeCm[0]) << " &times; "
            << OneDecimal(e.sizeCm[1]) << " &times; " << OneDecimal(e.sizeCm[2]) << "</td><td>"
            << Angle(e.yaw) << "</td><td>" << Angle(e.pitch) << "</td><td>" << Angle(e.roll)
            << "</td></tr>\n";
    }
    out << "</table>\n";
}

} // namespace

std::string OneDecimal(double value) {
    return FormatFixed(value, 0, 1);
}

std::string DegreesText(const std::optional<double>& degrees) {
    return degrees ? Angle(*degrees) : "not defined";
}

std::string UncertaintyText(const DirectionUncertainty& u) {
    std::string text = "radius " + OneDecimal(u.radius * 100.0) + " cm; ";
    if (!u.coneHalfAngle) {
        return text + "undetermined (IN and OUT are no farther apart than twice the radius)";
    }
    text += "cone half-angle " + Angle(*u.coneHalfAngle) + "; direction ";
    const auto& direction = *u.direction;
    if (u.directionUnbounded) {
        text += "undetermined (0" + std::string(kDegree) + " to 360" + kDegree + ")";
    } else {
        text += Angle(direction[0]) + " to " + Angle(direction[1]);
        if (direction[0] > direction[1]) {
            text += " (through 0" + std::string(kDegree) + ")";
        }
    }
    const auto& elevation = *u.elevation;
    return text + "; elevation " + Angle(elevation[0]) + " to " + Angle(elevation[1]);
}

namespace {

// The report's sections in their order, each appending its blocks.
class ReportComposer {
public:
    ReportComposer(const CaseReport& facts, const std::vector<ReportFigure>& reportFigures,
                   const std::function<std::string(const std::string&)>& sourceOfImage)
        : report(facts), figures(reportFigures), imageSource(sourceOfImage) {}

    // The findings first, closed by the signature: page 1 and one section per track. What
    // they rest on follows as appendices, so that the signed part is read without leafing
    // through the conventions, the views and the scene analysis.
    std::vector<ReportBlock> Compose() {
        FirstPage();
        for (const TrajectoryFacts& t : report.trajectories) {
            TrajectorySection(t);
        }
        SignatureSection();
        AppendicesHeading();
        ConventionsSection();
        OriginSection();
        ViewsSection();
        ElementsSection();
        return std::move(blocks);
    }

private:
    void Add(const std::ostringstream& out, bool newPage = false) {
        blocks.push_back({out.str(), newPage, {}});
    }
    // A figure with its caption, when the report has it.
    void AddFigure(const std::string& name) {
        for (const ReportFigure& figure : figures) {
            if (figure.name == name) {
                std::ostringstream out;
                Figure(out, figure, imageSource);
                Add(out);
            }
        }
    }

    // Case information, the body diagrams and the wound table. The diagrams come before the
    // table: the table's rows may run over to the next page, the diagrams stay on page 1.
    void FirstPage() {
        std::ostringstream head;
        CaseInformation(head, report);
        Add(head);
        if (!report.readingNotes.empty()) {
            std::ostringstream notes;
            ReadingNotes(notes, report.readingNotes);
            Add(notes);
        }
        AddFigure("diagrams");
        WoundTable();
    }

    void WoundTable() {
        std::ostringstream heading;
        heading << "<h2>Wounds</h2>\n";
        if (report.trajectories.empty()) {
            heading << "<p>No trajectory.</p>\n";
            Add(heading);
            return;
        }
        heading << "<p>IN is the entry, OUT the exit or where a retained bullet lies, numbered "
                   "as in the diagrams and the sections; the appendices define the terms.</p>\n";
        Add(heading);
        const std::string table =
            std::string("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                        "style=\"font-size: 8pt\">\n") +
            "<tr><th width=\"4%\">No.</th><th width=\"9%\">Label</th>"
            "<th width=\"26%\">IN</th><th width=\"26%\">OUT</th><th width=\"13%\">Course</th>"
            "<th width=\"11%\">Direction</th><th width=\"11%\">Elevation</th></tr>\n";
        for (const TrajectoryFacts& t : report.trajectories) {
            blocks.push_back({WoundRow(t, report.posed), false, table});
        }
    }

    void AppendicesHeading() {
        std::ostringstream out;
        out << "<h1>Appendices</h1>\n<p>What the findings rest on: the conventions of the "
               "angles, the body and its posture, where the shots came from, the views of the "
               "case and the elements.</p>\n";
        Add(out, true);
    }

    void ConventionsSection() {
        std::ostringstream out;
        Conventions(out, report);
        out << "<p><b>Uncertainty budget.</b> " << Escaped(report.budgetConvention)
            << " The ball cone beside it stays the worst case of the balls alone.";
        // What the body's heading and placement in the scene move, from the world's side.
        if (!report.origin.placementNote.empty()) {
            out << " " << Escaped(report.origin.placementNote);
        }
        out << " Both cones follow one rule for the direction: it is undetermined, and no "
               "interval is given, where the cone reaches the vertical (&alpha; &ge; 90&deg; "
               "&minus; |E|); for the budget, where either the ball cone or its own 95 % cone "
               "does.</p>\n";
        Add(out);
        AddFigure("axes");
        std::ostringstream body;
        BodyFacts(body, report);
        Add(body);
    }

    // A section of its own page: the track's table, then its close-up.
    void TrajectorySection(const TrajectoryFacts& t) {
        std::ostringstream out;
        WriteTrajectory(out, t, report.posed);
        Add(out, true);
        TrackPointsSection(t);
        AddFigure(CloseUpFigureName(t.number));
        AddFigure(CtTrackFigureName(t.number));
    }

    // The points between IN and OUT, a row a stop so that a long list runs on over pages with
    // its heading, then whether they lie on one line and the pieces.
    void TrackPointsSection(const TrajectoryFacts& t) {
        if (t.track.points.empty()) {
            return;
        }
        std::ostringstream heading;
        heading << "<h3>Points along the track</h3>\n<p>The track's line is the least-squares "
                   "line through IN, the points and OUT, each weighted by the inverse square of "
                   "its radius; a point farther from it than twice its radius lies off the "
                   "line.</p>\n";
        Add(heading);
        const std::string table = std::string(kTableStart) + kStopTableHead;
        for (std::string& row : StopRows(t)) {
            blocks.push_back({std::move(row), false, table});
        }
        std::ostringstream verdict;
        TrackLineVerdict(verdict, t.track);
        Add(verdict);
    }

    // Where the shots came from, in the scene around the body, with the plan view as the
    // figures describe it.
    void OriginSection() {
        PlanFigure plan;
        for (const ReportFigure& figure : figures) {
            if (figure.name == kPlanViewImage) {
                plan = {figure.caption, figure.displayWidth};
            }
        }
        blocks.push_back({FormatOriginHtml(report.origin, imageSource, plan), true, {}});
    }

    void ViewsSection() {
        bool first = true;
        for (const ReportFigure& figure : figures) {
            if (figure.name.rfind("view-", 0) != 0) {
                continue;
            }
            std::ostringstream out;
            if (first) {
                out << "<h2>Views of the case</h2>\n";
            }
            Figure(out, figure, imageSource);
            Add(out, first);
            first = false;
        }
    }

    void ElementsSection() {
        std::ostringstream out;
        Elements(out, report.elements);
        Add(out);
    }

    void SignatureSection() {
        std::ostringstream out;
        const std::string& examiner = report.caseInfo.Examiner();
        out << "<h2>Signature</h2>\n<p>The findings above are the examiner's; the appendices "
               "that follow give what they rest on.</p>\n"
               "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"8\">\n"
            << "<tr><th align=\"left\" width=\"25%\">Examiner</th><td>"
            << (examiner.empty() ? std::string("&nbsp;") : Escaped(examiner)) << "</td></tr>\n"
            << "<tr><th align=\"left\">Date</th><td>"
               "______________________________</td></tr>\n"
            << "<tr><th align=\"left\">Signature</th><td><br><br>"
               "______________________________</td></tr>\n</table>\n";
        Add(out);
    }

    const CaseReport& report;
    const std::vector<ReportFigure>& figures;
    const std::function<std::string(const std::string&)>& imageSource;
    std::vector<ReportBlock> blocks;
};

} // namespace

std::string CloseUpFigureName(int number) {
    return "closeup-" + std::to_string(number);
}

std::string WoundRow(const TrajectoryFacts& t, bool posed) {
    const auto where = [](const std::array<double, 3>& cm, const std::string& described) {
        return described.empty() ? Point(cm) : Escaped(described);
    };
    // A bullet that stayed in the body has no exit: its OUT is where it lies.
    const std::string out = t.bulletInside
                                ? "<b>retained</b> at " + where(t.outCm, t.outDescription)
                                : where(t.outCm, t.outDescription);
    return "<tr><td>" + std::to_string(t.number) + "</td><td>" + Escaped(t.label) + "</td><td>" +
           where(t.inCm, t.inDescription) + "</td><td>" + out + "</td><td>" +
           Escaped(t.course.sentence) + "</td><td>" +
           WoundAngleCell(t, TrackAngle::Direction, posed) + "</td><td>" +
           WoundAngleCell(t, TrackAngle::Elevation, posed) + "</td></tr>\n";
}

std::vector<ReportBlock>
FormatReportBlocks(const CaseReport& report, const std::vector<ReportFigure>& figures,
                   const std::function<std::string(const std::string&)>& imageSource) {
    return ReportComposer(report, figures, imageSource).Compose();
}

std::string JoinReportBlocks(const std::vector<ReportBlock>& blocks) {
    std::string out;
    const std::string* openTable = nullptr;
    for (const ReportBlock& block : blocks) {
        const bool sameTable = openTable != nullptr && *openTable == block.table;
        if (openTable != nullptr && !sameTable) {
            out += "</table>\n";
            openTable = nullptr;
        }
        if (block.newPage) {
            out += "<div style=\"page-break-before: always\"></div>\n";
        }
        if (!block.table.empty() && openTable == nullptr) {
            out += block.table;
            openTable = &block.table;
        }
        out += block.html;
    }
    if (openTable != nullptr) {
        out += "</table>\n";
    }
    return out;
}

std::string ReportHtmlHead(const CaseReport& report) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
           Escaped(report.software) + " case report</title>\n" +
           "<style>body { font-family: sans-serif; max-width: 60em; margin: 1em auto; } "
           "th { text-align: left; vertical-align: top; } "
           "td { vertical-align: top; } "
           "table { border-collapse: collapse; }</style>\n"
           "</head>\n<body>\n";
}

std::string FormatReportHtml(const CaseReport& report, const std::vector<ReportFigure>& figures,
                             const std::function<std::string(const std::string&)>& imageSource) {
    return ReportHtmlHead(report) +
           JoinReportBlocks(FormatReportBlocks(report, figures, imageSource)) +
           "</body>\n</html>\n";
}
