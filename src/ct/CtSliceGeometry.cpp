#include "ct/CtSliceGeometry.h"

#include "base/NumberText.h"

#include <filesystem>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

namespace {

// Directions from the files carry six or so decimals.
constexpr double kDirectionTolerance = 1e-4;
// Slice gaps may differ by this share of the gap (rounding in the stated positions).
constexpr double kGapTolerance = 0.01;
// A step off the normal by more than this (radians, about 0.1 degree) is a tilted gantry.
constexpr double kTiltTolerance = 0.002;

double Length(const Vec3& v) {
    return std::sqrt(Dot(v, v));
}

Vec3 Scaled(const Vec3& v, double s) {
    return {v.x * s, v.y * s, v.z * s};
}

bool SameDirection(const Vec3& a, const Vec3& b) {
    return Length(Minus(a, b)) < kDirectionTolerance;
}

std::string Millimetres(double value) {
    return FormatFixed(value, 0, 3) + " mm";
}

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

bool IsLocalizer(const CtScannedSlice& slice) {
    return slice.imageType.find("LOCALIZER") != std::string::npos;
}

Status CheckSameFrame(const std::vector<CtScannedSlice>& slices) {
    const CtScannedSlice& first = slices.front();
    for (const CtScannedSlice& slice : slices)
        if (IsLocalizer(slice))
            return Status::Failure("The series holds a localizer (" + FileName(slice.file) +
                                   "); remove it from the folder or choose another series.");
    const double unit = Length(first.rowDirection) * Length(first.columnDirection);
    if (std::abs(unit - 1) > 1e-3 ||
        std::abs(Dot(first.rowDirection, first.columnDirection)) > 1e-3)
        return Status::Failure("The image orientation of " + FileName(first.file) +
                               " is not two perpendicular unit directions.");
    for (const CtScannedSlice& slice : slices) {
        if (!SameDirection(slice.rowDirection, first.rowDirection) ||
            !SameDirection(slice.columnDirection, first.columnDirection))
            return Status::Failure("The series mixes image orientations (" + FileName(first.file) +
                                   " and " + FileName(slice.file) +
                                   "); a volume needs slices in one orientation.");
        if (slice.rows != first.rows || slice.columns != first.columns ||
            std::abs(slice.rowSpacing - first.rowSpacing) > 1e-4 ||
            std::abs(slice.columnSpacing - first.columnSpacing) > 1e-4)
            return Status::Failure("The slices differ in size or pixel spacing (" +
                                   FileName(first.file) + " and " + FileName(slice.file) + ").");
    }
    if (first.rowSpacing <= 0 || first.columnSpacing <= 0)
        return Status::Failure("The pixel spacing of " + FileName(first.file) +
                               " is not positive.");
    return Status::Ok();
}

// The gaps between neighbouring slices must be one gap; a gap of a whole multiple of it means
// slices are missing.
Status CheckGaps(const std::vector<double>& positions, double& gap) {
    std::vector<double> gaps;
    for (size_t k = 1; k < positions.size(); ++k)
        gaps.push_back(positions[k] - positions[k - 1]);
    std::vector<double> sorted = gaps;
    const auto middle = static_cast<std::ptrdiff_t>(sorted.size() / 2);
    std::nth_element(sorted.begin(), sorted.begin() + middle, sorted.end());
    const double median = sorted[sorted.size() / 2];
    if (median < 1e-3)
        return Status::Failure("Several slices lie at the same position; the folder may hold "
                               "a series twice.");
    for (size_t k = 0; k < gaps.size(); ++k) {
        if (std::abs(gaps[k] - median) <= kGapTolerance * median)
            continue;
        if (gaps[k] < 1e-3 * median)
            return Status::Failure("Two slices lie at the same position, " +
                                   Millimetres(positions[k]) +
                                   "; the folder may hold a slice twice.");
        const double multiple = std::round(gaps[k] / median);
        const std::string where = " between slice positions " + Millimetres(positions[k]) +
                                  " and " + Millimetres(positions[k + 1]);
        if (multiple >= 2 && std::abs(gaps[k] - multiple * median) <= kGapTolerance * median)
            return Status::Failure("A slice is missing" + where + " (the gap is " +
                                   Millimetres(gaps[k]) + ", the others " + Millimetres(median) +
                                   ").");
        return Status::Failure("The slice gaps are unequal: " + Millimetres(gaps[k]) + where +
                               ", the others " + Millimetres(median) + ".");
    }
    gap = (positions.back() - positions.front()) / static_cast<double>(gaps.size());
    return Status::Ok();
}

// The positions must step along the slice normal; a step with a part across it is a tilted
// gantry, whose slices a straight volume would shear.
Status CheckNoTilt(const std::vector<CtScannedSlice>& slices, const Vec3& normal) {
    const Vec3 step = Minus(slices.back().position, slices.front().position);
    const double along = Dot(step, normal);
    const double across = Length(Minus(step, Scaled(normal, along)));
    const double angle = std::atan2(across, std::abs(along));
    if (angle <= kTiltTolerance)
        return Status::Ok();
    const std::string degrees = FormatFixed(angle * 180 / 3.14159265358979323846, 0, 2);
    return Status::Failure("The slices are tilted against their normal by " + degrees +
                           " degrees (a gantry tilt); a tilted series is not read as a volume.");
}

} // namespace

Status PlaceCtSlices(std::vector<CtScannedSlice>& slices, CtVolume& volume) {
    if (slices.empty())
        return Status::Failure("The series holds no image slice.");
    if (Status same = CheckSameFrame(slices); !same)
        return same;
    const CtScannedSlice& first = slices.front();
    const Vec3 normal = Cross(first.rowDirection, first.columnDirection);
    std::sort(slices.begin(), slices.end(), [&](const CtScannedSlice& a, const CtScannedSlice& b) {
        return Dot(a.position, normal) < Dot(b.position, normal);
    });
    double gap = first.sliceThickness > 0 ? first.sliceThickness : 1.0;
    if (slices.size() > 1) {
        std::vector<double> positions;
        positions.reserve(slices.size());
        for (const CtScannedSlice& slice : slices)
            positions.push_back(Dot(slice.position, normal));
        if (Status gaps = CheckGaps(positions, gap); !gaps)
            return gaps;
        if (Status tilt = CheckNoTilt(slices, normal); !tilt)
            return tilt;
    }
    const CtScannedSlice& lowest = slices.front();
    volume.size = {lowest.columns, lowest.rows, static_cast<int>(slices.size())};
    volume.spacing = {lowest.columnSpacing, lowest.rowSpacing, gap};
    volume.origin = lowest.position;
    volume.rowDirection = lowest.rowDirection;
    volume.columnDirection = lowest.columnDirection;
    volume.sliceDirection = normal;
    return Status::Ok();
}
