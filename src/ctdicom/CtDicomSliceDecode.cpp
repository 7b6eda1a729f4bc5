#include "ctdicom/CtDicomSliceDecode.h"

#include "ctdicom/GdcmQuiet.h"

#include <gdcmImage.h>
#include <gdcmImageReader.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <filesystem>
#include <limits>

namespace {

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

Status CheckPixelFormat(const gdcm::Image& image, const CtScannedSlice& slice) {
    const gdcm::PixelFormat& format = image.GetPixelFormat();
    if (format.GetSamplesPerPixel() != 1 || format.GetBitsAllocated() != 16)
        return Status::Failure("The pixels of " + FileName(slice.file) +
                               " are not 16-bit grey values.");
    if (format.GetBitsStored() < 8 || format.GetBitsStored() > 16 ||
        format.GetHighBit() + 1 != format.GetBitsStored())
        return Status::Failure("The pixels of " + FileName(slice.file) +
                               " are not stored in the low bits of their words.");
    // In MONOCHROME1 the highest value is black; no CT scanner stores Hounsfield units so.
    if (image.GetPhotometricInterpretation() != gdcm::PhotometricInterpretation::MONOCHROME2)
        return Status::Failure("The pixels of " + FileName(slice.file) +
                               " are not MONOCHROME2 grey values.");
    if (image.GetDimension(0) != static_cast<unsigned>(slice.columns) ||
        image.GetDimension(1) != static_cast<unsigned>(slice.rows))
        return Status::Failure("The pixel data of " + FileName(slice.file) +
                               " does not match its stated rows and columns.");
    return Status::Ok();
}

// How a slice's 16-bit words hold their values: the low bitsStored bits, signed or not. Bits
// above them may carry overlays or noise and are not part of the value.
struct StoredBits {
    int bits = 16;
    bool isSigned = true;

    int Value(uint16_t word) const {
        const uint32_t mask = bits >= 16 ? 0xffffu : (1u << bits) - 1;
        const int value = static_cast<int>(word & mask);
        if (isSigned && (value & (1 << (bits - 1))))
            return value - (1 << bits);
        return value;
    }
};

// Converts one slice's stored values into Hounsfield units at `out`.
void ToHounsfield(const char* buffer, size_t count, const StoredBits& stored,
                  const CtScannedSlice& slice, int16_t* out, long long& clamped) {
    constexpr double low = std::numeric_limits<int16_t>::min();
    constexpr double high = std::numeric_limits<int16_t>::max();
    for (size_t n = 0; n < count; ++n) {
        uint16_t word;
        std::memcpy(&word, buffer + n * sizeof word, sizeof word);
        double hu = std::round(stored.Value(word) * slice.slope + slice.intercept);
        if (hu < low || hu > high) {
            ++clamped;
            hu = std::clamp(hu, low, high);
        }
        out[n] = static_cast<int16_t>(hu);
    }
}

Status DecodeSlice(const CtScannedSlice& slice, std::vector<char>& buffer, int16_t* out,
                   long long& clamped) {
    gdcm::ImageReader reader;
    reader.SetFileName(slice.file.c_str());
    if (!reader.Read())
        return Status::Failure("The image in " + FileName(slice.file) + " could not be read.");
    const gdcm::Image& image = reader.GetImage();
    if (Status format = CheckPixelFormat(image, slice); !format)
        return format;
    const size_t count = static_cast<size_t>(slice.rows) * static_cast<size_t>(slice.columns);
    buffer.resize(image.GetBufferLength());
    if (buffer.size() < count * 2 || !image.GetBuffer(buffer.data()))
        return Status::Failure("The pixels of " + FileName(slice.file) + " could not be decoded.");
    const gdcm::PixelFormat& format = image.GetPixelFormat();
    const StoredBits stored{format.GetBitsStored(), format.GetPixelRepresentation() == 1};
    ToHounsfield(buffer.data(), count, stored, slice, out, clamped);
    return Status::Ok();
}

} // namespace

Status DecodeDicomSlice(const CtScannedSlice& slice, std::vector<char>& buffer, int16_t* out,
                        long long& clamped) {
    GdcmQuiet quiet;
    try {
        return DecodeSlice(slice, buffer, out, clamped);
    } catch (const std::exception& error) {
        return Status::Failure("The image in " + FileName(slice.file) +
                               " could not be read: " + error.what());
    }
}
