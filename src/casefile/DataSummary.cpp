#include "casefile/DataSummary.h"

#include "base/NumberText.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "case/EntryNumber.h"
#include "case/TrackAngles.h"

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

void AppendTrajectory(std::string& out, int number, const Trajectory& t, DataSummary::Texts texts) {
    out += Header("Trajectory", number, t.label, "", texts);
    out += PointLine("", "x1", "y1", "z1", t.in.x, t.in.y, t.in.z);
    out += PointLine("", "x2", "y2", "z2", t.out.x, t.out.y, t.out.z);
    out += PointLine("Adjustment ", "x", "y", "z", t.offset.x, t.offset.y, t.offset.z);
    // The measured track's angles, the body in the anatomical position.
    out.append("Direction angle: ").append(OneDecimal(Bearing(t.in, t.out))).append(" deg");
    out.append(kLineEnd);
    out.append("Elevation angle: ").append(OneDecimal(Elevation(t.in, t.out))).append(" deg");
    out.append(kLineEnd);
    // The adjustment angles are shown as stored, in degrees, yaw first.
    out.append("Adjustment yaw = ").append(OneDecimal(t.yawAdjustment));
    out.append("    pitch = ").append(OneDecimal(t.pitchAdjustment)).append(kLineEnd);
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
