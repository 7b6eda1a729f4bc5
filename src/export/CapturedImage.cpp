#include "export/CapturedImage.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

constexpr std::size_t kHeaderSize = 40;
constexpr std::size_t kColorEntrySize = 4;

// Header field offsets of a BITMAPINFOHEADER.
constexpr std::size_t kSizeOffset = 0;
constexpr std::size_t kWidthOffset = 4;
constexpr std::size_t kHeightOffset = 8;
constexpr std::size_t kPlanesOffset = 12;
constexpr std::size_t kBitCountOffset = 14;
constexpr std::size_t kCompressionOffset = 16;
constexpr std::size_t kSizeImageOffset = 20;

uint32_t ReadLittleEndian(const std::vector<uint8_t>& bytes, std::size_t offset, int length) {
    if (bytes.size() < offset + length)
        return 0;
    uint32_t value = 0;
    for (int i = length - 1; i >= 0; --i)
        value = (value << 8) | bytes[offset + i];
    return value;
}

void WriteLittleEndian(std::vector<uint8_t>& bytes, std::size_t offset, int length,
                       uint32_t value) {
    for (int i = 0; i < length; ++i)
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

int ColorTableEntriesFor(int bitCount) {
    switch (bitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

std::size_t StrideFor(int width, int bitCount) {
    if (width <= 0 || bitCount <= 0)
        return 0;
    const uint64_t bits = static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount);
    return static_cast<std::size_t>((bits + 31) / 32 * 4);
}

// stride * height, or nothing when the product does not fit in memory sizes.
bool PixelBytesFor(std::size_t stride, int height, std::size_t& total) {
    if (height < 0)
        return false;
    const auto rows = static_cast<std::size_t>(height);
    if (rows != 0 && stride > std::numeric_limits<std::size_t>::max() / rows)
        return false;
    total = stride * rows;
    return true;
}

} // namespace

CapturedImage CapturedImage::Create(int width, int height, int bitCount) {
    const int safeWidth = std::max(width, 0);
    const int safeHeight = std::max(height, 0);
    const int safeBitCount = std::clamp(bitCount, 0, 0xFFFF);
    const std::size_t tableBytes = ColorTableEntriesFor(safeBitCount) * kColorEntrySize;
    std::size_t pixelBytes = 0;
    if (!PixelBytesFor(StrideFor(safeWidth, safeBitCount), safeHeight, pixelBytes))
        pixelBytes = 0;

    CapturedImage dib;
    dib.bytes.assign(kHeaderSize + tableBytes + pixelBytes, 0);
    WriteLittleEndian(dib.bytes, kSizeOffset, 4, kHeaderSize);
    WriteLittleEndian(dib.bytes, kWidthOffset, 4, static_cast<uint32_t>(safeWidth));
    WriteLittleEndian(dib.bytes, kHeightOffset, 4, static_cast<uint32_t>(safeHeight));
    WriteLittleEndian(dib.bytes, kPlanesOffset, 2, 1);
    WriteLittleEndian(dib.bytes, kBitCountOffset, 2, static_cast<uint32_t>(safeBitCount));
    WriteLittleEndian(dib.bytes, kSizeImageOffset, 4, static_cast<uint32_t>(pixelBytes));
    return dib;
}

CapturedImage CapturedImage::FromBytes(std::vector<uint8_t> bytes) {
    CapturedImage dib;
    dib.bytes = std::move(bytes);
    return dib;
}

int CapturedImage::Width() const {
    return static_cast<int32_t>(ReadLittleEndian(bytes, kWidthOffset, 4));
}

int CapturedImage::Height() const {
    return static_cast<int32_t>(ReadLittleEndian(bytes, kHeightOffset, 4));
}

int CapturedImage::BitCount() const {
    return static_cast<int>(ReadLittleEndian(bytes, kBitCountOffset, 2));
}

uint32_t CapturedImage::Compression() const {
    return ReadLittleEndian(bytes, kCompressionOffset, 4);
}

uint32_t CapturedImage::SizeImage() const {
    return ReadLittleEndian(bytes, kSizeImageOffset, 4);
}

int CapturedImage::ColorTableEntries() const {
    return ColorTableEntriesFor(BitCount());
}

std::size_t CapturedImage::RowStride() const {
    return StrideFor(Width(), BitCount());
}

// The colour table exists only when the block holds a complete 40-byte header and the whole table.
const uint8_t* CapturedImage::ColorTable() const {
    const std::size_t tableBytes = ColorTableEntries() * kColorEntrySize;
    if (tableBytes == 0 || ReadLittleEndian(bytes, kSizeOffset, 4) != kHeaderSize ||
        bytes.size() < kHeaderSize + tableBytes)
        return nullptr;
    return bytes.data() + kHeaderSize;
}

uint8_t* CapturedImage::ColorTable() {
    return const_cast<uint8_t*>(std::as_const(*this).ColorTable());
}

// The pixels exist only when the block holds the header, the colour table and every padded row
// that the header promises, so that a reader never runs past the end of a truncated block.
const uint8_t* CapturedImage::Pixels() const {
    if (ReadLittleEndian(bytes, kSizeOffset, 4) != kHeaderSize || Width() < 0)
        return nullptr;
    const std::size_t tableBytes = ColorTableEntries() * kColorEntrySize;
    std::size_t pixelBytes = 0;
    if (!PixelBytesFor(RowStride(), Height(), pixelBytes))
        return nullptr;
    if (bytes.size() < kHeaderSize + tableBytes ||
        bytes.size() - kHeaderSize - tableBytes < pixelBytes)
        return nullptr;
    return bytes.data() + kHeaderSize + tableBytes;
}

uint8_t* CapturedImage::Pixels() {
    return const_cast<uint8_t*>(std::as_const(*this).Pixels());
}
