#include "export/CapturedImage.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void PutLittleEndian(std::vector<uint8_t>& bytes, std::size_t offset, int length, uint32_t value) {
    for (int i = 0; i < length; ++i)
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> Header(int32_t width, int32_t height, int bitCount) {
    std::vector<uint8_t> bytes(40, 0);
    PutLittleEndian(bytes, 0, 4, 40);
    PutLittleEndian(bytes, 4, 4, static_cast<uint32_t>(width));
    PutLittleEndian(bytes, 8, 4, static_cast<uint32_t>(height));
    PutLittleEndian(bytes, 12, 2, 1);
    PutLittleEndian(bytes, 14, 2, static_cast<uint32_t>(bitCount));
    return bytes;
}

uint32_t ReadU32(const std::vector<uint8_t>& bytes, std::size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, 4); // the test machines are little-endian
    return value;
}

} // namespace

TEST(CapturedImageTest, CreateLaysOutHeaderColourTableAndPaddedRows) {
    const CapturedImage rgb = CapturedImage::Create(3, 2, 24);
    const auto& bytes = rgb.Bytes();
    EXPECT_EQ(ReadU32(bytes, 0), 40u);
    EXPECT_EQ(bytes[12], 1); // planes
    EXPECT_EQ(rgb.Width(), 3);
    EXPECT_EQ(rgb.Height(), 2);
    EXPECT_EQ(rgb.BitCount(), 24);
    EXPECT_EQ(rgb.RowStride(), 12u); // 9 bytes of pixels, 3 of padding
    EXPECT_EQ(rgb.SizeImage(), 24u);
    EXPECT_EQ(rgb.ColorTable(), nullptr);
    EXPECT_EQ(rgb.Pixels(), bytes.data() + 40);
    EXPECT_EQ(bytes.size(), 40u + 24u);

    EXPECT_EQ(CapturedImage::Create(1, 1, 32).SizeImage(), 4u);
    EXPECT_EQ(CapturedImage::Create(9, 1, 1).RowStride(), 4u);
    EXPECT_EQ(CapturedImage::Create(9, 1, 16).RowStride(), 20u);

    const CapturedImage indexed = CapturedImage::Create(5, 3, 8);
    EXPECT_EQ(indexed.ColorTable(), indexed.Bytes().data() + 40);
    EXPECT_EQ(indexed.Pixels(), indexed.Bytes().data() + 40 + 1024);
    EXPECT_EQ(CapturedImage::Create(9, 1, 1).ColorTableEntries(), 2);
    EXPECT_EQ(CapturedImage::Create(9, 1, 4).ColorTableEntries(), 16);
}

TEST(CapturedImageTest, AccessorsOfMalformedBlocksNeverReachPastTheEnd) {
    const CapturedImage empty = CapturedImage::FromBytes({});
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.Height(), 0);
    EXPECT_EQ(empty.BitCount(), 0);
    EXPECT_EQ(empty.SizeImage(), 0u);
    EXPECT_EQ(empty.Pixels(), nullptr);
    EXPECT_EQ(empty.ColorTable(), nullptr);

    std::vector<uint8_t> shortHeader = Header(2, 2, 24);
    shortHeader.resize(12);
    EXPECT_EQ(CapturedImage::FromBytes(shortHeader).Width(), 2);
    EXPECT_EQ(CapturedImage::FromBytes(shortHeader).BitCount(), 0);
    EXPECT_EQ(CapturedImage::FromBytes(shortHeader).Pixels(), nullptr);

    // One byte short of the last row.
    std::vector<uint8_t> truncated = Header(3, 2, 24);
    truncated.resize(40 + 24 - 1);
    EXPECT_EQ(CapturedImage::FromBytes(truncated).Pixels(), nullptr);
    truncated.push_back(0);
    EXPECT_NE(CapturedImage::FromBytes(truncated).Pixels(), nullptr);

    // A colour table cut short.
    std::vector<uint8_t> shortTable = Header(1, 1, 8);
    shortTable.resize(40 + 100);
    EXPECT_EQ(CapturedImage::FromBytes(shortTable).ColorTable(), nullptr);
    EXPECT_EQ(CapturedImage::FromBytes(shortTable).Pixels(), nullptr);

    // Sizes whose product overflows, a negative width, another header size.
    std::vector<uint8_t> huge = Header(0x7FFFFFFF, 0x7FFFFFFF, 0xFFFF);
    EXPECT_EQ(CapturedImage::FromBytes(huge).Pixels(), nullptr);
    std::vector<uint8_t> negative = Header(-4, 1, 32);
    negative.resize(100);
    EXPECT_EQ(CapturedImage::FromBytes(negative).Pixels(), nullptr);
    std::vector<uint8_t> otherHeader = Header(1, 1, 32);
    PutLittleEndian(otherHeader, 0, 4, 124);
    otherHeader.resize(200);
    EXPECT_EQ(CapturedImage::FromBytes(otherHeader).Pixels(), nullptr);
}
