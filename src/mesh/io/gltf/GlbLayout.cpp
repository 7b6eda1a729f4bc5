#include "mesh/io/gltf/GlbLayout.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr uint32_t kJsonChunk = 0x4E4F534A; // "JSON"
constexpr uint32_t kBinChunk = 0x004E4942;  // "BIN\0"
constexpr std::size_t kHeaderBytes = 12;
constexpr std::size_t kChunkHeadBytes = 8;

uint32_t Word(std::string_view bytes, std::size_t at) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at,
                sizeof value); // little-endian on every machine we build for
    return value;
}

} // namespace

Status GlbLayout::Parse(std::string_view bytes, GlbLayout& layout) {
    if (bytes.size() < kHeaderBytes + kChunkHeadBytes || bytes.substr(0, 4) != "glTF") {
        return Status::Failure("the binary glTF file is too short for its header");
    }
    if (Word(bytes, 4) != 2) {
        return Status::Failure("the binary glTF file is of version " +
                               std::to_string(Word(bytes, 4)) + ", not 2");
    }
    const uint64_t total = Word(bytes, 8);
    if (total > bytes.size()) {
        return Status::Failure("the binary glTF file is shorter than its header says");
    }
    // Every length below is measured within the length the header gives.
    if (total < kHeaderBytes + kChunkHeadBytes) {
        return Status::Failure("the binary glTF file's header gives it no room for its JSON chunk");
    }
    const std::string_view file = bytes.substr(0, total);
    const uint64_t jsonLength = Word(file, 12);
    if (Word(file, 16) != kJsonChunk || jsonLength == 0) {
        return Status::Failure("the binary glTF file does not start with its JSON chunk");
    }
    if (jsonLength > file.size() - kHeaderBytes - kChunkHeadBytes) {
        return Status::Failure("the JSON chunk of the binary glTF file is longer than the file");
    }
    const std::size_t jsonStart = kHeaderBytes + kChunkHeadBytes;
    layout.json = file.substr(jsonStart, jsonLength);
    layout.bin = {};
    const std::size_t next = jsonStart + jsonLength;
    if (file.size() - next < kChunkHeadBytes) {
        return Status::Ok(); // no BIN chunk (a few bytes of padding at most)
    }
    const uint64_t binLength = Word(file, next);
    if (Word(file, next + 4) != kBinChunk) {
        return Status::Ok(); // chunks of other types are to be skipped; only the first may be BIN
    }
    if (binLength > file.size() - next - kChunkHeadBytes) {
        return Status::Failure("the BIN chunk of the binary glTF file is longer than the file");
    }
    layout.bin = file.substr(next + kChunkHeadBytes, binLength);
    return Status::Ok();
}
