#include "report/ReportHtml.h"

#include "base/NumberText.h"
#include "report/ReportOrigin.h"

#include <sstream>

namespace {

const char* const kDegree = "\u00b0";

std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\n':
            out += "<br>";
            break;
        case '\r':
            break;
        default:
            out += c;
        }
    }
    return out;
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

void Header(std::ostringstream& out, const CaseReport& report) {
    out << "<h1>Case report</h1>\n" << kTableStart;
    Row(out, "Software", Escaped(report.software));
    Row(out, "Report made", Escaped(report.generated));
    Row(out, "Case file", FileName(report.caseFile));
    Row(out, "Case file SHA-256", FileHash(report.caseFile));
    Row(out, "Body", Escaped(report.bodyName));
    Row(out, "Body model file", FileName(report.bodyModel));
    Row(out, "Body model SHA-256", FileHash(report.bodyModel));
    Row(out, "Body height", FormatFixed(report.bodyHeight, 0, 2) + " m");
    Row(out, "Lateral scale", FormatFixed(report.scaleX, 0, 2));
    Row(out, "Front-to-back scale", FormatFixed(report.scaleZ, 0, 2));
    Row(out, "Arm", "yaw " + Angle(report.armYaw) + ", pitch " + Angle(report.armPitch));
    Row(out, "Forearm",
        "yaw " + Angle(report.forearmYaw) + ", pitch " + Angle(report.forearmPitch));
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

void Conventions(std::ostringstream& out, const std::vector<ReportFigure>& figures,
                 const std::function<std::string(const std::string&)>& imageSource) {
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
           "changes IN, OUT or any angle in this report.</p>\n"
           "<p><b>Posture.</b> All angles are given for the body in anatomical position. "
           "Positions are as measured; the arm and forearm pose above only changes where "
           "trajectories are drawn.</p>\n";
    for (const ReportFigure& figure : figures) {
        if (figure.name == "axes") {
            Figure(out, figure, imageSource);
        }
    }
}

void Views(std::ostringstream& out, const std::vector<ReportFigure>& figures,
           const std::function<std::string(const std::string&)>& imageSource) {
    bool any = false;
    for (const ReportFigure& figure : figures) {
        if (figure.name != "axes") {
            if (!any) {
                out << "<h2>Views of the case</h2>\n";
                any = true;
            }
            Figure(out, figure, imageSource);
        }
    }
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

void WriteTrajectory(std::ostringstream& out, const TrajectoryFacts& t) {
    const PlaneAngles& planes = t.course.planeAngles;
    out << "<h3>" << TrajectoryTitle(t) << "</h3>\n" << kTableStart;
    Row(out, "Bullet", t.bulletInside ? "bullet inside body" : "exited");
    Row(out, "IN", PointWithDescription(t.inCm, t.inDescription));
    Row(out, "OUT", PointWithDescription(t.outCm, t.outDescription));
    Row(out, "Direction angle", Angle(t.direction));
    Row(out, "Elevation angle", Angle(t.elevation));
    Row(out, "Course", Escaped(t.course.sentence));
    Row(out, "Plane angles",
        "transverse " + DegreesText(planes.transverse) + ", sagittal " +
            DegreesText(planes.sagittal) + ", coronal " + DegreesText(planes.coronal));
    Row(out, "Uncertainty", Escaped(UncertaintyText(t.course.uncertainty)));
    Row(out, "Adjustment (drawing only)",
        "offset " + Point(t.offsetCm) + "; yaw " + Angle(t.yawAdjustment) + ", pitch " +
            Angle(t.pitchAdjustment));
    out << "</table>\n";
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

std::string FormatReportHtml(const CaseReport& report, const std::vector<ReportFigure>& figures,
                             const std::function<std::string(const std::string&)>& imageSource) {
    std::ostringstream out;
    out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>"
        << Escaped(report.software) << " case report</title>\n"
        << "<style>body { font-family: sans-serif; max-width: 60em; margin: 1em auto; } "
           "th { text-align: left; vertical-align: top; } "
           "table { border-collapse: collapse; }</style>\n"
        << "</head>\n<body>\n";
    Header(out, report);
    ReadingNotes(out, report.readingNotes);
    Conventions(out, figures, imageSource);
    Views(out, figures, imageSource);
    out << "<h2>Trajectories</h2>\n";
    if (report.trajectories.empty()) {
        out << "<p>None.</p>\n";
    }
    for (const TrajectoryFacts& t : report.trajectories) {
        WriteTrajectory(out, t);
    }
    out << FormatOriginHtml(report.origin, imageSource);
    Elements(out, report.elements);
    out << "</body>\n</html>\n";
    return out.str();
}
