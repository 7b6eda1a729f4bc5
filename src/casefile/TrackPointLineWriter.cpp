#include "casefile/TrackPointLineWriter.h"

#include "base/NumberText.h"
#include "case/Trajectory.h"

namespace {

void AppendPointLine(std::string& out, std::string_view tag, std::string_view value,
                     std::string_view lineEnd) {
    out.append("  <").append(tag).append(">").append(value);
    out.append("</").append(tag).append(">").append(lineEnd);
}

// Metres with four decimals, as every other length of the file.
std::string Length(double metres) {
    return FormatFixed(metres, 0, 4);
}

} // namespace

void AppendTrackPointLines(std::string& out, const Trajectory& trajectory,
                           std::string_view lineEnd) {
    for (const TrackPoint& point : trajectory.points) {
        AppendPointLine(out, "point",
                        Length(point.point.x) + " " + Length(point.point.y) + " " +
                            Length(point.point.z),
                        lineEnd);
        if (point.radius != TrackPoint::kDefaultRadius) {
            AppendPointLine(out, "pointradius", Length(point.radius), lineEnd);
        }
        if (!point.part.empty()) {
            AppendPointLine(out, "pointpart", point.part, lineEnd);
        }
    }
}
