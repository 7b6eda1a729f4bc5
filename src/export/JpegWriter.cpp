#include "export/JpegWriter.h"

#include "base/FileAccess.h"

#include <cerrno>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// libjpeg's header needs size_t and FILE declared first.
#include <jpeglib.h>

namespace {

const char* const kInvalidInput = "Invalid input data";
const char* const kInvalidBitCount = "Invalid bitmap bit count";

// A five-bit level of a 16-bit pixel as an eight-bit intensity.
uint8_t FiveBitLevel(unsigned level) {
    if (level == 0)
        return 0;
    if (level >= 31)
        return 255;
    return static_cast<uint8_t>(8 * level + 8);
}

void ConvertIndexedRow(const uint8_t* source, const uint8_t* colorTable, int bitCount, int width,
                       uint8_t* target) {
    const int pixelsPerByte = 8 / bitCount;
    const unsigned mask = (1u << bitCount) - 1;
    for (int x = 0; x < width; ++x) {
        const int shift = 8 - bitCount * (x % pixelsPerByte + 1); // most significant bits first
        const unsigned index = (source[x / pixelsPerByte] >> shift) & mask;
        const uint8_t* entry = colorTable + 4 * std::size_t{index}; // blue, green, red, 0
        const std::size_t at = 3 * static_cast<std::size_t>(x);
        target[at] = entry[2];
        target[at + 1] = entry[1];
        target[at + 2] = entry[0];
    }
}

void Convert16BitRow(const uint8_t* source, int width, uint8_t* target) {
    for (int x = 0; x < width; ++x) {
        const std::size_t from = 2 * static_cast<std::size_t>(x);
        const unsigned pixel = source[from] | (source[from + 1] << 8);
        const std::size_t at = 3 * static_cast<std::size_t>(x);
        target[at] = FiveBitLevel((pixel >> 10) & 0x1F);
        target[at + 1] = FiveBitLevel((pixel >> 5) & 0x1F);
        target[at + 2] = FiveBitLevel(pixel & 0x1F);
    }
}

void ConvertBgrRow(const uint8_t* source, int bytesPerPixel, int width, uint8_t* target) {
    for (int x = 0; x < width; ++x) {
        const uint8_t* pixel = source + static_cast<std::size_t>(bytesPerPixel) * x;
        const std::size_t at = 3 * static_cast<std::size_t>(x);
        target[at] = pixel[2];
        target[at + 1] = pixel[1];
        target[at + 2] = pixel[0];
    }
}

bool IsSupportedBitCount(int bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

// libjpeg reports a fatal error by calling error_exit, whose standard version ends the process.
// This one keeps the library's message and jumps back to the caller instead.
struct JpegErrorManager {
    jpeg_error_mgr standard;
    std::jmp_buf returnPoint;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpBackOnError(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    manager->standard.format_message(info, manager->message);
    std::longjmp(manager->returnPoint, 1);
}

void IgnoreMessage(j_common_ptr) {}

// The encoding proper. Only C objects live in this frame, since a longjmp out of libjpeg skips
// destructors; on failure the library's message is left in errors.message.
bool Encode(unsigned char** output, unsigned long* outputSize, JDIMENSION width, JDIMENSION height,
            int quality, JSAMPARRAY rows, JpegErrorManager& errors) {
    jpeg_compress_struct info{};
    info.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = JumpBackOnError;
    errors.standard.output_message = IgnoreMessage;
    errors.message[0] = '\0';
    if (setjmp(errors.returnPoint)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, output, outputSize);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const JDIMENSION written = jpeg_write_scanlines(&info, rows, height);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    if (written != height) {
        std::snprintf(errors.message, sizeof errors.message, "Only %u of %u rows were encoded",
                      static_cast<unsigned>(written), static_cast<unsigned>(height));
        return false;
    }
    return true;
}

// The encoder's memory block, freed with the C allocator libjpeg took it from.
struct EncodedImage {
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    EncodedImage() = default;
    EncodedImage(const EncodedImage&) = delete;
    EncodedImage& operator=(const EncodedImage&) = delete;
    ~EncodedImage() { std::free(bytes); }
};

// "Cannot open" when the file could not be made at all, "Cannot write" when its bytes could not be
// stored; both with the system's reason.
std::string FileFailureText(const std::string& fileName, int error) {
    if (error == kFileReadOnly) {
        return "\"" + fileName + "\" is read-only.";
    }
    const bool storing = error == ENOSPC || error == EIO || error == EDQUOT || error == EFBIG;
    return (storing ? "Cannot write " : "Cannot open ") + fileName + ": " + FileErrorText(error);
}

} // namespace

bool ToRgbRows(const CapturedImage* dib, std::size_t rowLength,
               std::vector<std::vector<uint8_t>>& rows, std::string& errorText) {
    rows.clear();
    if (dib == nullptr || dib->Width() <= 0 || dib->Height() <= 0 || dib->Compression() != 0 ||
        rowLength < static_cast<std::size_t>(dib->Width()) * 3) {
        errorText = kInvalidInput;
        return false;
    }
    const int bitCount = dib->BitCount();
    if (!IsSupportedBitCount(bitCount)) {
        errorText = kInvalidBitCount;
        return false;
    }
    const uint8_t* pixels = dib->Pixels();
    const uint8_t* colorTable = dib->ColorTable();
    if (pixels == nullptr || (bitCount <= 8 && colorTable == nullptr)) {
        errorText = kInvalidInput; // the block is shorter than its header says
        return false;
    }

    const int width = dib->Width();
    const int height = dib->Height();
    const std::size_t stride = dib->RowStride();
    rows.assign(static_cast<std::size_t>(height), std::vector<uint8_t>(rowLength, 0));
    for (int i = 0; i < height; ++i) {
        const uint8_t* source = pixels + stride * static_cast<std::size_t>(height - 1 - i);
        uint8_t* target = rows[static_cast<std::size_t>(i)].data();
        if (bitCount <= 8)
            ConvertIndexedRow(source, colorTable, bitCount, width, target);
        else if (bitCount == 16)
            Convert16BitRow(source, width, target);
        else
            ConvertBgrRow(source, bitCount / 8, width, target);
    }
    return true;
}

bool WriteJpeg(const CapturedImage* dib, int quality, const std::string& fileName,
               std::string& errorText) {
    errorText.clear();
    if (dib == nullptr || quality < 0 || quality > 100 || fileName.empty()) {
        errorText = kInvalidInput;
        return false;
    }
    // Convert before creating the file, so that a bitmap that cannot be read leaves nothing.
    std::vector<std::vector<uint8_t>> rows;
    if (!ToRgbRows(dib, static_cast<std::size_t>(dib->Width()) * 3, rows, errorText))
        return false;
    std::vector<JSAMPROW> rowPointers;
    rowPointers.reserve(rows.size());
    for (auto& row : rows)
        rowPointers.push_back(row.data());

    // The image is encoded in memory and then replaces the file in one step, so a full disk or an
    // encoder error leaves the previous image as it was.
    JpegErrorManager errors;
    EncodedImage image;
    if (!Encode(&image.bytes, &image.size, static_cast<JDIMENSION>(dib->Width()),
                static_cast<JDIMENSION>(dib->Height()), quality, rowPointers.data(), errors)) {
        errorText = errors.message[0] != '\0' ? errors.message : "The JPEG encoder failed";
        return false;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(image.bytes), image.size);
    if (const int error = ReplaceFileContents(fileName, bytes)) {
        errorText = FileFailureText(fileName, error);
        return false;
    }
    return true;
}
