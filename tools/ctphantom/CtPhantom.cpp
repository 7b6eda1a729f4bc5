#include "CtPhantom.h"

#include "CtBodyPhantom.h"

#include <gdcmAttribute.h>
#include <gdcmImageChangeTransferSyntax.h>
#include <gdcmImageWriter.h>
#include <gdcmTrace.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
const Vec3 kCentre{0, 0, -300};

double Square(double v) {
    return v * v;
}

Vec3 Add(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 Scaled(const Vec3& v, double s) {
    return {v.x * s, v.y * s, v.z * s};
}

struct SliceFrame {
    Vec3 row, column, position;
    std::string imageType = "ORIGINAL\\PRIMARY\\AXIAL";
};

void Orientation(CtPhantomPosture posture, Vec3& row, Vec3& column) {
    row = {1, 0, 0};
    column = {0, 1, 0};
    if (posture == CtPhantomPosture::FeetFirstSupine)
        row = {-1, 0, 0};
    if (posture == CtPhantomPosture::HeadFirstProne) {
        row = {-1, 0, 0};
        column = {0, -1, 0};
    }
}

// The frame of the slice taken n-th: head first scans from the head down, feet first upward.
SliceFrame FrameOf(const CtPhantomOptions& options, int n) {
    SliceFrame frame;
    Orientation(options.posture, frame.row, frame.column);
    const double half = (options.size[2] - 1) / 2.0;
    const bool headFirst = options.posture != CtPhantomPosture::FeetFirstSupine;
    double z = (headFirst ? half - n : n - half) * options.sliceGap;
    if (n == options.movedSlice)
        z += options.movedBy;
    if (n == options.rotatedSlice) {
        const double a = 3 * kPi / 180;
        frame.row = {std::cos(a) * frame.row.x - std::sin(a) * frame.row.y,
                     std::sin(a) * frame.row.x + std::cos(a) * frame.row.y, 0};
        frame.column = {std::cos(a) * frame.column.x - std::sin(a) * frame.column.y,
                        std::sin(a) * frame.column.x + std::cos(a) * frame.column.y, 0};
    }
    const Vec3 sliceCentre =
        Add(Add(kCentre, {0, 0, z}),
            Scaled(frame.column, std::tan(options.tiltDegrees * kPi / 180) * z));
    frame.position =
        Add(sliceCentre,
            Add(Scaled(frame.row, -(options.size[0] - 1) / 2.0 * options.pixelSpacing[0]),
                Scaled(frame.column, -(options.size[1] - 1) / 2.0 * options.pixelSpacing[1])));
    return frame;
}

SliceFrame LocalizerFrame(const CtPhantomOptions& options) {
    SliceFrame frame;
    frame.row = {1, 0, 0};
    frame.column = {0, 0, -1};
    frame.position = Add(kCentre, {-(options.size[0] - 1) / 2.0 * options.pixelSpacing[0], 0,
                                   (options.size[2] - 1) / 2.0 * options.sliceGap});
    frame.imageType = "ORIGINAL\\PRIMARY\\LOCALIZER";
    return frame;
}

// The value's low bits, with noise above them when asked for.
uint16_t StoredWord(const CtPhantomOptions& options, uint16_t value) {
    if (options.bitsStored >= 16)
        return value;
    const uint16_t mask = static_cast<uint16_t>((1u << options.bitsStored) - 1);
    const uint16_t noise = options.noisyHighBits ? static_cast<uint16_t>(0xa5a5 & ~mask) : 0;
    return static_cast<uint16_t>((value & mask) | noise);
}

// Fills one image row (j) of a slice with Hounsfield units.
using RowPainter = std::function<void(const SliceFrame& frame, int j, int16_t* hu)>;

void PaintCylinderRow(const CtPhantomOptions& options, const SliceFrame& frame, int j,
                      int16_t* hu) {
    for (int i = 0; i < options.size[0]; ++i)
        hu[i] = CtPhantomHu(
            Add(frame.position, Add(Scaled(frame.row, i * options.pixelSpacing[0]),
                                    Scaled(frame.column, j * options.pixelSpacing[1]))));
}

void PaintBodyRow(const CtPhantomOptions& options, const CtBodyPhantom& body,
                  const SliceFrame& frame, int j, int16_t* hu) {
    const Vec3 start = Add(frame.position, Scaled(frame.column, j * options.pixelSpacing[1]));
    const Vec3 step = Scaled(frame.row, options.pixelSpacing[0]);
    // LPS (mm) to the body frame (cm): +X left, +Y head, +Z front.
    body.HuAlongRow(body.ToBody(options, start), {step.x / 10, step.z / 10, -step.y / 10},
                    options.size[0], hu);
}

std::vector<char> Pixels(const CtPhantomOptions& options, const SliceFrame& frame,
                         const RowPainter& paint) {
    std::vector<char> bytes;
    bytes.reserve(static_cast<size_t>(options.size[0]) * options.size[1] * 2);
    std::vector<int16_t> hu(options.size[0]);
    for (int j = 0; j < options.size[1]; ++j) {
        paint(frame, j, hu.data());
        for (int i = 0; i < options.size[0]; ++i) {
            const double stored = std::round((hu[i] - options.intercept) / options.slope);
            const auto value = options.unsignedPixels
                                   ? static_cast<uint16_t>(std::clamp(stored, 0.0, 65535.0))
                                   : static_cast<uint16_t>(static_cast<int16_t>(
                                         std::clamp(stored, -32768.0, 32767.0)));
            const uint16_t word = StoredWord(options, value);
            bytes.push_back(static_cast<char>(word & 0xff));
            bytes.push_back(static_cast<char>(word >> 8));
        }
    }
    return bytes;
}

std::string Decimals(const std::vector<double>& values) {
    std::string text;
    for (double v : values) {
        char item[32];
        std::snprintf(item, sizeof item, "%.6f", v);
        text += (text.empty() ? "" : "\\") + std::string(item);
    }
    return text;
}

template <uint16_t Group, uint16_t Element> void Put(gdcm::DataSet& data, const std::string& text) {
    gdcm::DataElement element(gdcm::Tag(Group, Element));
    std::string value = text;
    if (value.size() % 2)
        value += ' ';
    element.SetByteValue(value.data(), static_cast<uint32_t>(value.size()));
    data.Replace(element);
}

void PutHeader(gdcm::DataSet& data, const CtPhantomOptions& options, const SliceFrame& frame,
               int n) {
    Put<0x0008, 0x0008>(data, frame.imageType);
    Put<0x0008, 0x0016>(data, "1.2.840.10008.5.1.4.1.1.2");
    Put<0x0008, 0x0018>(data, options.seriesUid + "." + std::to_string(n + 1));
    Put<0x0008, 0x0021>(data, "20260102");
    Put<0x0008, 0x0060>(data, "CT");
    Put<0x0008, 0x103e>(data, options.description);
    Put<0x0018, 0x0050>(data, Decimals({options.sliceGap}));
    Put<0x0020, 0x000d>(data, options.seriesUid + ".0");
    Put<0x0020, 0x000e>(data, options.seriesUid);
    Put<0x0020, 0x0013>(data, std::to_string(n + 1));
}

gdcm::TransferSyntax CompressedSyntax(CtPhantomCompression compression) {
    switch (compression) {
    case CtPhantomCompression::JpegLossless:
        return gdcm::TransferSyntax::JPEGLosslessProcess14_1;
    case CtPhantomCompression::JpegLsLossless:
        return gdcm::TransferSyntax::JPEGLSLossless;
    case CtPhantomCompression::Rle:
        return gdcm::TransferSyntax::RLELossless;
    case CtPhantomCompression::None:
        break;
    }
    return gdcm::TransferSyntax::ExplicitVRLittleEndian;
}

Status WriteSlice(const std::filesystem::path& file, const CtPhantomOptions& options,
                  const SliceFrame& frame, int n, const RowPainter& paint) {
    gdcm::ImageWriter writer;
    gdcm::Image& image = writer.GetImage();
    image.SetNumberOfDimensions(2);
    image.SetDimension(0, static_cast<unsigned>(options.size[0]));
    image.SetDimension(1, static_cast<unsigned>(options.size[1]));
    gdcm::PixelFormat format(options.unsignedPixels ? gdcm::PixelFormat::UINT16
                                                    : gdcm::PixelFormat::INT16);
    format.SetBitsStored(static_cast<unsigned short>(options.bitsStored));
    image.SetPixelFormat(format);
    image.SetPhotometricInterpretation(gdcm::PhotometricInterpretation::MONOCHROME2);
    image.SetTransferSyntax(gdcm::TransferSyntax::ExplicitVRLittleEndian);
    // The writer takes the position, orientation, pixel spacing and rescale from the image (and
    // writes Pixel Spacing as the spacing between rows first).
    const double origin[3] = {frame.position.x, frame.position.y, frame.position.z};
    const double cosines[6] = {frame.row.x,    frame.row.y,    frame.row.z,
                               frame.column.x, frame.column.y, frame.column.z};
    image.SetOrigin(origin);
    image.SetOrigin(2, frame.position.z); // a 2-D image takes only two from the array
    image.SetDirectionCosines(cosines);
    image.SetSpacing(0, options.pixelSpacing[0]);
    image.SetSpacing(1, options.pixelSpacing[1]);
    image.SetIntercept(options.intercept);
    image.SetSlope(options.slope);
    const std::vector<char> pixels = Pixels(options, frame, paint);
    gdcm::DataElement pixelData(gdcm::Tag(0x7fe0, 0x0010));
    pixelData.SetByteValue(pixels.data(), static_cast<uint32_t>(pixels.size()));
    image.SetDataElement(pixelData);
    PutHeader(writer.GetFile().GetDataSet(), options, frame, n);
    gdcm::ImageChangeTransferSyntax change; // holds the compressed image until it is written
    if (options.compression != CtPhantomCompression::None) {
        change.SetTransferSyntax(CompressedSyntax(options.compression));
        change.SetInput(image);
        if (!change.Change())
            return Status::Failure("Could not compress " + file.string() + ".");
        writer.SetImage(change.GetOutput());
    }
    writer.SetFileName(file.string().c_str());
    if (!writer.Write())
        return Status::Failure("Could not write " + file.string() + ".");
    return Status::Ok();
}

std::vector<std::string> FileNames(const CtPhantomOptions& options, int count) {
    std::vector<std::string> names;
    for (int n = 0; n < count; ++n) {
        char name[64];
        std::snprintf(name, sizeof name, "%s_%04d.dcm", options.fileNamePrefix.c_str(), n + 1);
        names.push_back(name);
    }
    if (options.shuffledNames)
        std::shuffle(names.begin(), names.end(), std::mt19937(41));
    return names;
}

Status WriteSeries(const std::filesystem::path& folder, const CtPhantomOptions& options,
                   const RowPainter& paint) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return Status::Failure("Could not make the folder " + folder.string() + ".");
    gdcm::Trace::WarningOff();
    const int count = options.size[2] + (options.localizer ? 1 : 0);
    const std::vector<std::string> names = FileNames(options, count);
    try {
        for (int n = 0; n < options.size[2]; ++n) {
            if (n == options.droppedSlice)
                continue;
            if (Status written =
                    WriteSlice(folder / names[n], options, FrameOf(options, n), n, paint);
                !written)
                return written;
        }
        if (options.localizer)
            return WriteSlice(folder / names.back(), options, LocalizerFrame(options),
                              options.size[2], paint);
    } catch (const std::exception& exception) {
        return Status::Failure(std::string("Could not write the phantom: ") + exception.what());
    }
    return Status::Ok();
}

} // namespace

int16_t CtPhantomHu(const Vec3& lps) {
    const Vec3 p{lps.x - kCentre.x, lps.y - kCentre.y, lps.z - kCentre.z};
    if (Square(p.x - 14) + Square(p.y + 20) + Square(p.z - 20) < 16)
        return 3000; // metal bead
    if (std::abs(p.z) > 70 || Square(p.x) + Square(p.y) > 2500)
        return -1000; // outside the body
    if (p.x > -60 && p.x < 10 && Square(p.y + 20) + Square(p.z - 20) < 25)
        return -1000; // the air channel, from the right side
    if (Square(p.x + 15) + Square(p.y - 10) < 64)
        return 700; // bone rod
    return 40;
}

Vec3 CtPhantomCentre() {
    return kCentre;
}

Status WriteCtPhantom(const std::filesystem::path& folder, const CtPhantomOptions& options) {
    return WriteSeries(folder, options, [&options](const SliceFrame& frame, int j, int16_t* hu) {
        PaintCylinderRow(options, frame, j, hu);
    });
}

CtPhantomOptions CtBodyPhantomOptions() {
    CtPhantomOptions options;
    options.size = {176, 96, 512};
    options.pixelSpacing = {4, 4};
    options.sliceGap = 4;
    options.seriesUid = "1.2.826.0.1.3680043.10.1041.3";
    options.description = "CT body phantom";
    return options;
}

Status WriteCtBodyPhantom(const std::filesystem::path& folder, const CtPhantomOptions& options,
                          const CtBodyPhantom& body) {
    return WriteSeries(folder, options,
                       [&options, &body](const SliceFrame& frame, int j, int16_t* hu) {
                           PaintBodyRow(options, body, frame, j, hu);
                       });
}
