#include "casefile/DataSummary.h"

#include "base/NumberText.h"
#include "case/Case.h"

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

// "\r\n<kind> nn (text):\r\n", or without the text when it is empty.
std::string Header(std::string_view kind, int number, const std::string& text,
                   std::string_view beforeColonWithoutText) {
    std::string line(kLineEnd);
    line.append(kind).append(" ").append(FormatInteger(number, 2));
    if (text.empty()) {
        line.append(beforeColonWithoutText);
    } else {
        line.append(" (").append(text).append(")");
    }
    line.append(":").append(kLineEnd);
    return line;
}

void AppendTrajectory(std::string& out, int number, const Trajectory& trajectory) {
    out += Header("Trajectory", number, trajectory.GetText(), "");
    out +=
        PointLine("", "x1", "y1", "z1", trajectory.GetX1(), trajectory.GetY1(), trajectory.GetZ1());
    out +=
        PointLine("", "x2", "y2", "z2", trajectory.GetX2(), trajectory.GetY2(), trajectory.GetZ2());
    out += PointLine("Adjustment ", "x", "y", "z", trajectory.GetDx(), trajectory.GetDy(),
                     trajectory.GetDz());
    out.append("Direction angle: ")
        .append(OneDecimal(trajectory.GetDirectionAngle()))
        .append(" deg");
    out.append(kLineEnd);
    out.append("Elevation angle: ")
        .append(OneDecimal(trajectory.GetElevationDegrees()))
        .append(" deg");
    out.append(kLineEnd);
    // The adjustment angles are shown as stored, in degrees, yaw first.
    out.append("Adjustment yaw = ").append(OneDecimal(trajectory.GetDYaw()));
    out.append("    pitch = ").append(OneDecimal(trajectory.GetDPitch())).append(kLineEnd);
}

void AppendElement(std::string& out, int number, const Element& element) {
    // The element header without a text keeps its blank before the colon.
    out += Header("Element", number, element.GetText(), " ");
    out += PointLine("", "x", "y", "z", element.GetX(), element.GetY(), element.GetZ());
}

} // namespace

std::string DataSummary::Build(const Case& theCase) {
    const Body& body = theCase.GetBody();
    std::string out(kLineEnd);
    out.append("Body name: ").append(PadLeft(body.GetName(), 5)).append(kLineEnd);
    out.append("Body height: ").append(FormatFixed(body.GetHeight(), 5, 2)).append(" m");
    out.append(kLineEnd);
    const int trajectoryCount = theCase.GetTrajectoryCount();
    for (int i = 0; i < trajectoryCount; ++i) {
        AppendTrajectory(out, i + 1, *theCase.GetTrajectory(i));
    }
    const ElementList& elements = theCase.GetElements();
    const int elementCount = elements.GetCount();
    for (int i = 0; i < elementCount; ++i) {
        AppendElement(out, i + 1, *elements.GetItem(i));
    }
    return out;
}
