#pragma once

#include "base/Matrix4.h"
#include "base/Status.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

class CtBodyPhantom;

// How the body lies on the scanner table; it decides the image orientation and the order in
// which the slices are taken.
enum class CtPhantomPosture { HeadFirstSupine, FeetFirstSupine, HeadFirstProne };

// How the pixel data is stored: uncompressed, or in one of the lossless compressions.
enum class CtPhantomCompression { None, JpegLossless, JpegLsLossless, Rle };

// A CT phantom series and the faults it can be written with. The phantom is the same object in
// the patient frame whatever the layout. WriteCtPhantom's is a soft-tissue cylinder (40 HU) in
// air (-1000) along the head-foot axis, a bone rod (+700) inside it, an air channel across it
// from the right side and a metal bead (3000) at the channel's end; WriteCtBodyPhantom's is the
// default body (CtBodyPhantom.h).
struct CtPhantomOptions {
    std::array<int, 3> size{64, 64, 80};      // pixels along a row, rows, slices
    std::array<double, 2> pixelSpacing{2, 2}; // mm along a row, down a column
    double sliceGap = 2;                      // mm
    CtPhantomPosture posture = CtPhantomPosture::HeadFirstSupine;
    bool shuffledNames = false; // file names unrelated to the slice order
    bool unsignedPixels = false;
    double slope = 1, intercept = 0;
    // Bits of each 16-bit word that hold the value; with noisyHighBits the bits above them are
    // set to a pattern a reader must ignore.
    int bitsStored = 16;
    bool noisyHighBits = false;
    CtPhantomCompression compression = CtPhantomCompression::None;
    std::string seriesUid = "1.2.826.0.1.3680043.10.1041.1";
    std::string description = "CT phantom";
    std::string fileNamePrefix = "slice";
    // Faults: a slice left out, a slice moved along the axis, a gantry tilt, a localizer in the
    // series, one slice in another orientation (-1 or 0 for none).
    int droppedSlice = -1;
    int movedSlice = -1;
    double movedBy = 0; // mm
    double tiltDegrees = 0;
    bool localizer = false;
    int rotatedSlice = -1;
};

// The phantom's Hounsfield units at a patient point (LPS, mm).
int16_t CtPhantomHu(const Vec3& lps);

// The patient point (LPS, mm) at the middle of the phantom's volume.
Vec3 CtPhantomCentre();

// Writes the series as one DICOM file a slice into the folder (made when missing).
Status WriteCtPhantom(const std::filesystem::path& folder, const CtPhantomOptions& options);

// The options the body phantom is written with unless told otherwise: 4 mm voxels, 176 x 96 x 512
// of them (70 x 38 x 205 cm, room for the default body of 200 cm with its arms).
CtPhantomOptions CtBodyPhantomOptions();

// Writes the body phantom as one DICOM file a slice, as WriteCtPhantom writes the cylinder. The
// volume is never held whole: each slice is drawn as it is written.
Status WriteCtBodyPhantom(const std::filesystem::path& folder, const CtPhantomOptions& options,
                          const CtBodyPhantom& body);
