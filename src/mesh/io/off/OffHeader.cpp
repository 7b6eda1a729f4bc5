#include "mesh/io/off/OffHeader.h"

#include <charconv>
#include <string_view>
#include <vector>

namespace {

bool Consume(std::string_view& keyword, std::string_view prefix) {
    if (keyword.starts_with(prefix)) {
        keyword.remove_prefix(prefix.size());
        return true;
    }
    return false;
}

bool ParseCount(std::string_view word, uint64_t& count) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), count);
    return error == std::errc() && end == word.data() + word.size();
}

} // namespace

Status OffHeader::Parse(OffLineCursor& lines, OffHeader& header) {
    std::vector<std::string_view> words;
    if (!lines.Next(words)) {
        return Status::Failure("the OFF file is empty");
    }
    std::string_view keyword = words[0];
    header.texCoords = Consume(keyword, "ST");
    header.colors = Consume(keyword, "C");
    header.normals = Consume(keyword, "N");
    header.homogeneous = Consume(keyword, "4");
    if (Consume(keyword, "n")) {
        return Status::Failure("the OFF file gives its own dimension, which is not read");
    }
    if (keyword != "OFF") {
        return Status::Failure("the file does not start with the OFF keyword");
    }
    words.erase(words.begin());
    if (!words.empty() && words[0] == "BINARY") {
        return Status::Failure("binary OFF files are not read");
    }
    if (words.empty() && !lines.Next(words)) {
        return Status::Failure("the OFF file has no vertex and face counts");
    }
    // The edge count, when given, is not needed.
    if (words.size() < 2 || words.size() > 3 || !ParseCount(words[0], header.vertexCount) ||
        !ParseCount(words[1], header.faceCount)) {
        return Status::Failure("the OFF counts are not whole numbers");
    }
    return Status::Ok();
}
