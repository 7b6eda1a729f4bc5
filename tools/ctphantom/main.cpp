// ct_phantom: writes a CT phantom series (DICOM, one file a slice) for trying the CT reader.
//   ct_phantom FOLDER [--body [--model OBJ]] [--truth] [--shuffle] [--feet-first | --prone]
//                     [--unsigned] [--intercept HU] [--slope S] [--size NX,NY,NZ]
//                     [--spacing MM] [--slice-gap MM] [--uid UID] [--description TEXT]
//                     [--compress jpeg|jpegls|rle]
// --body writes the body phantom (the default body's skin, bones, lungs, a wound channel, metal)
// instead of the cylinder; --truth then prints its facts, its solids (body frame, cm) and its
// known points (patient frame, mm, and body frame, cm), one `key: value` a line, for checks that
// read the series back.
#include "CtBodyPhantom.h"
#include "CtPhantom.h"
#include "base/ProgramFiles.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct Command {
    CtPhantomOptions options;
    bool body = false;
    bool truth = false;
    std::string model;
};

bool ParseLayout(CtPhantomOptions& options, const std::string& option, const char* value) {
    if (option == "--intercept")
        options.intercept = std::atof(value);
    else if (option == "--slope")
        options.slope = std::atof(value);
    else if (option == "--spacing") {
        const double mm = std::atof(value);
        options.pixelSpacing = {mm, mm};
        options.sliceGap = mm;
    } else if (option == "--slice-gap")
        options.sliceGap = std::atof(value);
    else if (option == "--size")
        return std::sscanf(value, "%d,%d,%d", &options.size[0], &options.size[1],
                           &options.size[2]) == 3;
    else if (option == "--compress") {
        const std::string kind = value;
        if (kind == "jpeg")
            options.compression = CtPhantomCompression::JpegLossless;
        else if (kind == "jpegls")
            options.compression = CtPhantomCompression::JpegLsLossless;
        else if (kind == "rle")
            options.compression = CtPhantomCompression::Rle;
        else
            return false;
    } else if (option == "--uid")
        options.seriesUid = value;
    else if (option == "--description")
        options.description = value;
    else
        return false;
    return true;
}

bool ParseOption(Command& command, int argc, char** argv, int& n) {
    CtPhantomOptions& options = command.options;
    const std::string option = argv[n];
    if (option == "--body")
        return true; // taken before the others: it changes their defaults
    if (option == "--truth")
        command.truth = true;
    else if (option == "--shuffle")
        options.shuffledNames = true;
    else if (option == "--feet-first")
        options.posture = CtPhantomPosture::FeetFirstSupine;
    else if (option == "--prone")
        options.posture = CtPhantomPosture::HeadFirstProne;
    else if (option == "--unsigned")
        options.unsignedPixels = true;
    else if (option == "--model" && n + 1 < argc)
        command.model = argv[++n];
    else if (n + 1 < argc)
        return ParseLayout(options, option, argv[++n]);
    else
        return false;
    return true;
}

bool Valid(const CtPhantomOptions& options) {
    return options.size[0] > 0 && options.size[1] > 0 && options.size[2] > 0 &&
           options.pixelSpacing[0] > 0 && options.pixelSpacing[1] > 0 && options.sliceGap > 0 &&
           options.slope != 0;
}

std::string DefaultModel() {
    const std::string located = DefaultModelFiles::Located().body;
    std::error_code error;
    return std::filesystem::is_regular_file(located, error) ? located : RUVO_DEFAULT_BODY;
}

// A solid of the layout: the ends of its axis (the same point for a sphere) in the body frame.
void PrintSolid(const CtPhantomCapsule& solid) {
    std::printf("solid %s: a %.3f %.3f %.3f b %.3f %.3f %.3f radius %.3f shell %.3f hu %d\n",
                solid.name.c_str(), solid.a.x, solid.a.y, solid.a.z, solid.b.x, solid.b.y,
                solid.b.z, solid.radius, solid.shell, solid.hu);
}

void PrintTruth(const CtPhantomOptions& options, const CtBodyPhantom& body) {
    std::printf("voxels: %d %d %d\n", options.size[0], options.size[1], options.size[2]);
    std::printf("spacing-mm: %g %g %g\n", options.pixelSpacing[0], options.pixelSpacing[1],
                options.sliceGap);
    std::printf("series-uid: %s\n", options.seriesUid.c_str());
    std::printf("description: %s\n", options.description.c_str());
    std::printf("hu-range: %d %d\n", CtBodyPhantomLayout::kAirHu, CtBodyPhantomLayout::kMetalHu);
    std::printf("height-cm: %.3f\n", body.HeightCm());
    const Vec3 origin = body.OriginLps(options);
    std::printf("origin-lps-mm: %.3f %.3f %.3f\n", origin.x, origin.y, origin.z);
    const CtBodyPhantomLayout& layout = body.Layout();
    for (const CtPhantomCapsule* solid :
         {&layout.channel, &layout.fragment, &layout.bullet, &layout.bulletChannel})
        PrintSolid(*solid);
    for (const CtPhantomCapsule& lung : layout.lungs)
        PrintSolid(lung);
    for (const CtPhantomCapsule& bone : layout.bones)
        PrintSolid(bone);
    for (const CtBodyPhantom::KnownPoint& point : body.KnownPoints()) {
        const Vec3 lps = body.ToLps(options, point.bodyCm);
        std::printf("point %s: lps %.3f,%.3f,%.3f body %.3f %.3f %.3f hu %d\n", point.name.c_str(),
                    lps.x, lps.y, lps.z, point.bodyCm.x, point.bodyCm.y, point.bodyCm.z, point.hu);
    }
}

int Write(const std::string& folder, const Command& command) {
    if (!command.body) {
        const Status written = WriteCtPhantom(folder, command.options);
        if (!written)
            std::fprintf(stderr, "ct_phantom: %s\n", written.message().c_str());
        return written ? 0 : 1;
    }
    CtBodyPhantom body;
    Status done = body.Load(command.model.empty() ? DefaultModel() : command.model);
    if (done)
        done = WriteCtBodyPhantom(folder, command.options, body);
    if (!done) {
        std::fprintf(stderr, "ct_phantom: %s\n", done.message().c_str());
        return 1;
    }
    if (command.truth)
        PrintTruth(command.options, body);
    return 0;
}

void PrintUsage(std::FILE* to) {
    std::fprintf(to, "usage: ct_phantom FOLDER [--body [--model OBJ]] [--truth] [--shuffle] "
                     "[--feet-first | --prone] [--unsigned] [--intercept HU] [--slope S] "
                     "[--size NX,NY,NZ] [--spacing MM] [--slice-gap MM] [--uid UID] "
                     "[--description TEXT] [--compress jpeg|jpegls|rle]\n");
}

} // namespace

int main(int argc, char** argv) {
    // The folder comes first: an option in its place (--help among them) is never taken for a
    // folder to write a series into.
    if (argc >= 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        PrintUsage(stdout);
        return 0;
    }
    if (argc < 2 || argv[1][0] == '-') {
        PrintUsage(stderr);
        return 2;
    }
    Command command;
    for (int n = 2; n < argc; ++n)
        if (std::string(argv[n]) == "--body") {
            command.body = true;
            command.options = CtBodyPhantomOptions();
        }
    for (int n = 2; n < argc; ++n)
        if (!ParseOption(command, argc, argv, n)) {
            std::fprintf(stderr, "ct_phantom: unknown or incomplete option %s\n", argv[n]);
            return 2;
        }
    if (!Valid(command.options)) {
        std::fprintf(stderr,
                     "ct_phantom: sizes and spacings must be positive, the slope not zero\n");
        return 2;
    }
    return Write(argv[1], command);
}
