// ct_phantom: writes a CT phantom series (DICOM, one file a slice) for trying the CT reader.
//   ct_phantom FOLDER [--shuffle] [--feet-first | --prone] [--unsigned] [--intercept HU]
//                     [--size NX,NY,NZ] [--spacing MM] [--uid UID]
//                     [--compress jpeg|jpegls|rle]
#include "CtPhantom.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool ParseOption(CtPhantomOptions& options, int argc, char** argv, int& n) {
    const std::string option = argv[n];
    const bool hasValue = n + 1 < argc;
    if (option == "--shuffle")
        options.shuffledNames = true;
    else if (option == "--feet-first")
        options.posture = CtPhantomPosture::FeetFirstSupine;
    else if (option == "--prone")
        options.posture = CtPhantomPosture::HeadFirstProne;
    else if (option == "--unsigned")
        options.unsignedPixels = true;
    else if (option == "--intercept" && hasValue)
        options.intercept = std::atof(argv[++n]);
    else if (option == "--spacing" && hasValue) {
        const double mm = std::atof(argv[++n]);
        options.pixelSpacing = {mm, mm};
        options.sliceGap = mm;
    } else if (option == "--size" && hasValue) {
        if (std::sscanf(argv[++n], "%d,%d,%d", &options.size[0], &options.size[1],
                        &options.size[2]) != 3)
            return false;
    } else if (option == "--compress" && hasValue) {
        const std::string kind = argv[++n];
        if (kind == "jpeg")
            options.compression = CtPhantomCompression::JpegLossless;
        else if (kind == "jpegls")
            options.compression = CtPhantomCompression::JpegLsLossless;
        else if (kind == "rle")
            options.compression = CtPhantomCompression::Rle;
        else
            return false;
    } else if (option == "--uid" && hasValue)
        options.seriesUid = argv[++n];
    else
        return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: ct_phantom FOLDER [--shuffle] [--feet-first | --prone] "
                             "[--unsigned] [--intercept HU] [--size NX,NY,NZ] [--spacing MM] "
                             "[--uid UID] [--compress jpeg|jpegls|rle]\n");
        return 2;
    }
    CtPhantomOptions options;
    for (int n = 2; n < argc; ++n)
        if (!ParseOption(options, argc, argv, n)) {
            std::fprintf(stderr, "ct_phantom: unknown or incomplete option %s\n", argv[n]);
            return 2;
        }
    const Status written = WriteCtPhantom(argv[1], options);
    if (!written) {
        std::fprintf(stderr, "ct_phantom: %s\n", written.message().c_str());
        return 1;
    }
    return 0;
}
