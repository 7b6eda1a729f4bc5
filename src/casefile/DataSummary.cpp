#include "casefile/DataSummary.h"

#include "base/NumberText.h"
#include "base/TextEscaping.h"
#include "base/WeightedLineFit.h"
#include "case/Case.h"
#include "case/EntryNumber.h"
#include "case/TrackAngles.h"
#include "case/TrackLine.h"

#include <cmath>
#include <string_view>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// A length in metres shown in centimetres with one decimal.
std::string Centimetres(double metres) {
    return FormatFixed(metres * 100, 5, 1);
}

std::string OneDecimal(double value) {
    return FormatFixed(value, 5, 1);
}

// "<a> = v cm    <b> = v cm    <c> = v cm"
std::string PointLine(std::string_view prefix, std::string_view a, std::string_view b,
                      std::string_view c, double x, double y, double z) {
    std::string line(prefix);
    line.append(a).append(" = ").append(Centimetres(x)).append(" cm    ");
    line.append(b).append(" = ").append(Centimetres(y)).append(" cm    ");
    line.append(c).append(" = ").append(Centimetres(z)).append(" cm");
    line.append(kLineEnd);
    return line;
}

std::string Shown(const std::string& text, DataSummary::Texts texts) {
    return texts == DataSummary::Texts::Printable ? PrintableText(text) : text;
}

// "\r\n<kind> nn (text):\r\n", or without the text when it is empty.
std::string Header(std::string_view kind, int number, const std::string& text,
                   std::string_view beforeColonWithoutText, DataSummary::Texts texts) {
    std::string line(kLineEnd);
    line.append(kind).append(" ").append(FormatInteger(number, 2));
    if (text.empty()) {
        line.append(beforeColonWithoutText);
    } else {
        line.append(" (").append(Shown(text, texts)).append(")");
    }
    line.append(":").append(kLineEnd);
    return line;
}

// An angle of the fitted lines with one decimal; one that rounds to zero is 0.0, never -0.0.
std::string FittedAngle(double degrees) {
    return OneDecimal(std::fabs(degrees) < 0.05 ? 0.0 : degrees);
}

// "IN", "point 2", "OUT": a stop of a track by its index among IN, the points and OUT.
std::string StopName(std::size_t index, std::size_t stops) {
    return index == 0 ? "IN" : index + 1 == stops ? "OUT" : "point " + std::to_string(index);
}

// ", misfit v cm", with " (off the line)" when the line passes beyond what its radius allows.
std::string Misfit(const TrackLine& line, std::size_t index) {
    return ", misfit " + Centimetres(line.misfit[index]) + " cm" +
           (LiesOffLine(line.misfit[index], line.radius[index]) ? " (off the line)" : "");
}

// For a track with points between IN and OUT: each point with its radius, part and distance from
// the fitted line, IN's and OUT's distances, and for a track that breaks into pieces at the body
// parts, each piece's angles and the deflection between one piece and the next.
void AppendTrackLine(std::string& out, const Trajectory& t, const TrackLine& line) {
    const std::vector<TrackStop> stops = StopsOfTrajectory(t);
    for (std::size_t i = 0; i < t.points.size(); ++i) {
        const TrackPoint& point = t.points[i];
        out += PointLine("Point " + std::to_string(i + 1) + ": ", "x", "y", "z", point.point.x,
                         point.point.y, point.point.z);
        out.append("   radius ").append(Centimetres(point.radius)).append(" cm, part ");
        out.append(point.part.empty() ? "not known" : point.part);
        out.append(Misfit(line, i + 1)).append(kLineEnd);
    }
    out.append("Misfit of IN: ").append(Centimetres(line.misfit.front())).append(" cm");
    out.append(LiesOffLine(line.misfit.front(), line.radius.front()) ? " (off the line)" : "");
    out.append("    of OUT: ").append(Centimetres(line.misfit.back())).append(" cm");
    out.append(LiesOffLine(line.misfit.back(), line.radius.back()) ? " (off the line)" : "");
    out.append(kLineEnd);
    if (line.pieces.size() < 2) {
        return;
    }
    for (std::size_t k = 0; k < line.pieces.size(); ++k) {
        const TrackPiece& piece = line.pieces[k];
        out.append("Piece ").append(std::to_string(k + 1)).append(" (");
        out.append(piece.part.empty() ? "part not known" : piece.part).append(", ");
        out.append(StopName(piece.first, stops.size())).append(" to ");
        out.append(StopName(piece.last, stops.size())).append("): direction ");
        out.append(FittedAngle(piece.angles.direction)).append(" deg, elevation ");
        out.append(FittedAngle(piece.angles.elevation)).append(" deg").append(kLineEnd);
        if (k + 1 < line.pieces.size()) {
            out.append("Deflection between pieces ").append(std::to_string(k + 1));
            out.append(" and ").append(std::to_string(k + 2)).append(": ");
            out.append(FittedAngle(line.deflection[k])).append(" deg").append(kLineEnd);
        }
    }
}

void AppendTrajectory(std::string& out, int number, const Trajectory& t, DataSummary::Texts texts) {
    out += Header("Trajectory", number, t.label, "", texts);
    out += PointLine("", "x1", "y1", "z1", t.in.x, t.in.y, t.in.z);
    out += PointLine("", "x2", "y2", "z2", t.out.x, t.out.y, t.out.z);
    out += PointLine("Adjustment ", "x", "y", "z", t.offset.x, t.offset.y, t.offset.z);
    // The measured track's angles, the body in the anatomical position; a track with points
    // between IN and OUT has those of the line fitted through all its stops.
    const std::optional<TrackLine> line =
        t.points.empty() ? std::nullopt : FitTrackLine(StopsOfTrajectory(t));
    const TrackAngles angles = line ? line->angles : AnglesOfTrack(t.in, t.out);
    out.append("Direction angle: ").append(OneDecimal(angles.direction)).append(" deg");
    out.append(kLineEnd);
    out.append("Elevation angle: ").append(OneDecimal(angles.elevation)).append(" deg");
    out.append(kLineEnd);
    // The adjustment angles are shown as stored, in degrees, yaw first.
    out.append("Adjustment yaw = ").append(OneDecimal(t.yawAdjustment));
    out.append("    pitch = ").append(OneDecimal(t.pitchAdjustment)).append(kLineEnd);
    if (line) {
        AppendTrackLine(out, t, *line);
    }
}

void AppendElement(std::string& out, int number, const Element& element, DataSummary::Texts texts) {
    // The element header without a text keeps its blank before the colon.
    out += Header("Element", number, element.label, " ", texts);
    out += PointLine("", "x", "y", "z", element.centre.x, element.centre.y, element.centre.z);
}

} // namespace

std::string DataSummary::Build(const Case& theCase, Texts texts) {
    const Body& body = theCase.body;
    std::string out(kLineEnd);
    out.append("Body name: ").append(PadLeft(Shown(body.GetName(), texts), 5)).append(kLineEnd);
    out.append("Body height: ").append(FormatFixed(body.GetHeight(), 5, 2)).append(" m");
    out.append(kLineEnd);
    // Only a body drawn from a CT series says where it came from: any other summary is as it was.
    if (theCase.ct.IsCtBody()) {
        out.append("Body from CT series: ")
            .append(theCase.ct.seriesUid.empty() ? "(the one with the most slices)"
                                                 : Shown(theCase.ct.seriesUid, texts))
            .append(" in ")
            .append(Shown(theCase.ct.folder, texts))
            .append(kLineEnd);
    }
    for (std::size_t i = 0; i < theCase.trajectories.size(); ++i) {
        AppendTrajectory(out, NumberOfIndex(i), theCase.trajectories[i], texts);
    }
    for (std::size_t i = 0; i < theCase.elements.size(); ++i) {
        AppendElement(out, NumberOfIndex(i), theCase.elements[i], texts);
    }
    return out;
}
