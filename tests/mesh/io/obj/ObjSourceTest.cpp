#include "mesh/io/obj/ObjSource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

// The first statement start at or after `offset`, one character at a time.
std::size_t SlowStatementStart(std::string_view text, std::size_t offset) {
    for (std::size_t at = offset; at < text.size(); ++at) {
        if (ObjSource::IsStatementStart(text, at)) {
            return at;
        }
    }
    return text.size();
}

} // namespace

// The text is cut for the threads where a statement starts; the search reads the file in pieces
// of growing size, so a start must be found whether it lies in the first piece, at the seam of
// two pieces or far beyond, behind lines much longer than any piece.
TEST(ObjSource, FindsTheNextStatementStartBehindLinesOfAnyLength) {
    std::string text = "v 1 2 3\nf 1 2 3\n";
    text += "# " + std::string(100'000, 'c') + "\n";
    text += "f 1\n2 3\n" + std::string(5000, ' ') + "-1 -2\n";
    for (std::size_t corners = 0; corners < 3000; ++corners) {
        text += " 1"; // a face continued far past the first pieces
    }
    text += "\r\nvn 0 0 1\rvt 0.5 0.5\n\n  g after blanks\nusemtl skin";

    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("ruvo-source-" + std::to_string(::getpid()) + ".obj");
    std::ofstream(path, std::ios::binary) << text;
    std::optional<RegularFile> file = RegularFile::Open(path.string());
    ASSERT_TRUE(file);
    const ObjSource fromFile(std::move(*file));
    const ObjSource inMemory(text);

    std::vector<std::size_t> offsets;
    for (std::size_t offset = 0; offset < text.size(); offset += offset < 200 ? 1 : 997) {
        offsets.push_back(offset);
    }
    for (std::size_t seam : {4096u, 8192u, 16384u, 65536u}) {
        const std::size_t start = text.find("\n#") + 1; // pieces are measured from here
        for (std::size_t near = seam - 2; near <= seam + 2; ++near) {
            offsets.push_back(start + near);
        }
    }
    offsets.push_back(text.size() - 1);
    offsets.push_back(text.size());
    for (std::size_t offset : offsets) {
        const std::size_t expected = SlowStatementStart(text, offset);
        EXPECT_EQ(inMemory.StatementStartFrom(offset), expected) << "offset " << offset;
        EXPECT_EQ(fromFile.StatementStartFrom(offset), expected) << "offset " << offset;
    }
    std::filesystem::remove(path);
}
