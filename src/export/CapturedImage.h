#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A device-independent bitmap in one contiguous block: a 40-byte BITMAPINFOHEADER (little-endian),
// the colour table (2, 16 or 256 entries of blue, green, red, 0 for 1, 4 and 8 bits per pixel; none
// otherwise), then biHeight pixel rows, the bottom row first, each padded to a multiple of 4 bytes.
class CapturedImage {
public:
    // A bitmap of the given size and bit count with a zeroed colour table and zeroed pixels;
    // biSizeImage is the padded row length times the height.
    static CapturedImage Create(int width, int height, int bitCount);
    // Takes a block laid out as above (for example one read from elsewhere); not checked.
    static CapturedImage FromBytes(std::vector<uint8_t> bytes);

    int Width() const;
    int Height() const;
    int BitCount() const;
    uint32_t Compression() const;
    uint32_t SizeImage() const;
    int ColorTableEntries() const;
    // The padded length of one stored row in bytes.
    std::size_t RowStride() const;

    uint8_t* ColorTable();
    const uint8_t* ColorTable() const;
    uint8_t* Pixels(); // the bottom row first
    const uint8_t* Pixels() const;
    const std::vector<uint8_t>& Bytes() const { return bytes; }

private:
    std::vector<uint8_t> bytes;
};
