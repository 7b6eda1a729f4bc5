#include "app/cli/HeadlessCommands.h"

#include "base/NumberText.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "ct/CtBodyFrame.h"
#include "world/CtBodyFile.h"

#include <cmath>
#include <ostream>
#include <string>

namespace {

// Reads the series exactly as a case's body is read from it, so that the facts and points
// printed are those of the body the case would have.
bool ReadSeries(const CommandLine& commandLine, Case& theCase, std::ostream& err) {
    if (const Status read = OpenCtSeries(theCase, commandLine.ctFolder, commandLine.seriesUid);
        !read) {
        err << "ruvo: " << PrintableText(read.message()) << '\n';
        return false;
    }
    return true;
}

// "20240131" as "2024-01-31"; any other text as the files give it.
std::string DateText(const std::string& date) {
    const bool digits =
        date.size() == 8 && date.find_first_not_of("0123456789") == std::string::npos;
    return digits ? date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2) : date;
}

std::string Millimetres(double value) {
    return FormatFixed(value, 0, 4);
}

// Centimetres with three decimals; a value that rounds to zero is "0.000", never "-0.000".
std::string Centimetres(double value) {
    std::string text = FormatFixed(value, 0, 3);
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

bool Flushed(std::ostream& out, std::ostream& err) {
    out.flush();
    if (!out) {
        err << "ruvo: cannot write to the standard output\n";
        return false;
    }
    return true;
}

// Where the patient point lies in the voxel grid: outside it the point is in no slice.
bool InsideVolume(const CtVolume& volume, const Vec3& lps) {
    const Vec3 offset = Minus(lps, volume.origin);
    const Vec3 directions[3] = {volume.rowDirection, volume.columnDirection, volume.sliceDirection};
    constexpr double kHalfVoxel = 0.5;
    for (int axis = 0; axis < 3; ++axis) {
        const double index = Dot(offset, directions[axis]) / volume.spacing[axis];
        if (!(index >= -kHalfVoxel && index <= volume.size[axis] - 1 + kHalfVoxel)) {
            return false;
        }
    }
    return true;
}

// One line a metal object, largest first: "metal: k x y z cm, volume V mm3, extent E mm, peak P
// HU", numbered from 1; "metal: none" when there is none. The objects are those found when the
// series was read.
void PrintMetal(const CtScan& scan, std::ostream& out, std::ostream& err) {
    if (!scan.metalFailure.empty()) {
        err << "ruvo: warning: no metal was looked for: " << PrintableText(scan.metalFailure)
            << '\n';
        return;
    }
    out << "metal threshold: " << scan.metalThresholdHu << " HU\n";
    if (scan.metal.empty()) {
        out << "metal: none\n";
    }
    for (std::size_t index = 0; index < scan.metal.size(); ++index) {
        const CtMetalObject& object = scan.metal[index];
        out << "metal: " << index + 1 << ' ' << Centimetres(object.centroidBody.x) << ' '
            << Centimetres(object.centroidBody.y) << ' ' << Centimetres(object.centroidBody.z)
            << " cm, volume " << FormatFixed(object.volumeMm3, 0, 1) << " mm3, extent "
            << FormatFixed(object.extentMm, 0, 1) << " mm, peak " << object.peakHu << " HU\n";
    }
}

} // namespace

int RunCtInfoCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    Case theCase;
    if (!ReadSeries(commandLine, theCase, err)) {
        return 1;
    }
    const CtScan& scan = *theCase.ct.scan;
    const CtSeriesFacts& facts = scan.facts;
    out << "series: " << PrintableText(facts.seriesUid) << '\n'
        << "description: " << PrintableText(facts.description) << '\n'
        << "date: " << PrintableText(DateText(facts.date)) << '\n'
        << "voxels: " << facts.size[0] << " x " << facts.size[1] << " x " << facts.size[2] << '\n'
        << "spacing: " << Millimetres(facts.spacing[0]) << ' ' << Millimetres(facts.spacing[1])
        << ' ' << Millimetres(facts.spacing[2]) << " mm\n"
        << "slice thickness: "
        << (facts.sliceThickness > 0 ? Millimetres(facts.sliceThickness) + " mm" : "not stated")
        << '\n'
        << "hu range: " << facts.minHu << ' ' << facts.maxHu << '\n'
        << "skin threshold: " << scan.skinThresholdHu << " HU\n"
        << "bone threshold: " << scan.boneThresholdHu << " HU\n"
        << "body length: " << FormatFixed(scan.bodyLengthCm, 0, 2) << " cm\n"
        << "skin triangles: " << scan.skinTriangles << '\n'
        << "bone triangles: " << scan.boneTriangles << '\n'
        << "sha256: " << scan.seriesSha256 << '\n';
    PrintMetal(scan, out, err);
    return Flushed(out, err) ? 0 : 1;
}

int RunCtPointCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    Case theCase;
    if (!ReadSeries(commandLine, theCase, err)) {
        return 1;
    }
    const CtScan& scan = *theCase.ct.scan;
    const Vec3 lps{commandLine.lps[0], commandLine.lps[1], commandLine.lps[2]};
    if (!InsideVolume(scan.volume, lps)) {
        err << "ruvo: warning: the point lies outside the scanned volume\n";
    }
    const Vec3 body = LpsToBody(scan.frame, lps);
    out << Centimetres(body.x) << ' ' << Centimetres(body.y) << ' ' << Centimetres(body.z) << '\n';
    return Flushed(out, err) ? 0 : 1;
}
