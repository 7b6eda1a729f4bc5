#include "mesh/io/obj/ObjChunkCounter.h"
#include "base/RegularFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace {

bool CounterTestBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool CounterTestBreak(char c) {
    return c == '\n' || c == '\r';
}

bool CounterTestDigit(char c) {
    return c >= '0' && c <= '9';
}

// The first reading's grammar, word by word and as plainly as it can be written: the yardstick
// for the counting, whatever shortcuts that takes.
class WordByWordCount {
public:
    explicit WordByWordCount(std::string_view text) : text_(text) {}

    ObjChunkCount Run() {
        count_.end = text_.size();
        for (SkipBlanks(); at_ < text_.size(); SkipBlanks()) {
            const std::size_t start = at_;
            at_ = WordEnd(at_);
            if (!Statement(start, text_.substr(start, at_ - start))) {
                count_.faultOffset = start;
                break;
            }
        }
        return count_;
    }

private:
    bool Statement(std::size_t start, std::string_view word) {
        switch (word[0]) {
        case 'f':
            AddTriangles(Corners());
            return true;
        case 'm':
            count_.libraries.push_back({start, std::string(Name(RestOfLine()))});
            return true;
        case 'u':
            UseGroup(std::string(Name(RestOfLine())), start);
            return true;
        case 'v':
            if (word.size() > 1 && word[1] != 'n' && word[1] != 't') {
                count_.unknownWord = std::string(word);
                return false;
            }
            ++(word.size() == 1 ? count_.vertices
               : word[1] == 'n' ? count_.normals
                                : count_.texCoords);
            SkipLine();
            return true;
        default:
            SkipLine();
            return true;
        }
    }

    std::size_t Corners() {
        std::size_t corners = 0;
        for (SkipBlanks(); StartsCorner(); SkipBlanks()) {
            at_ = WordEnd(at_);
            ++corners;
        }
        return corners;
    }

    bool StartsCorner() const {
        if (at_ < text_.size() && (text_[at_] == '-' || text_[at_] == '+')) {
            return at_ + 1 < text_.size() && CounterTestDigit(text_[at_ + 1]);
        }
        return at_ < text_.size() && CounterTestDigit(text_[at_]);
    }

    void AddTriangles(std::size_t corners) {
        const std::size_t added = corners > 3 ? corners - 2 : 1;
        count_.triangles += added;
        (current_ ? count_.groupTriangles[*current_] : count_.leadingTriangles) += added;
    }

    void UseGroup(const std::string& name, std::size_t offset) {
        std::size_t group = 0;
        while (group < count_.groupNames.size() && count_.groupNames[group] != name) {
            ++group;
        }
        if (group == count_.groupNames.size()) {
            count_.groupNames.push_back(name);
            count_.groupTriangles.push_back(0);
        }
        current_ = static_cast<uint32_t>(group);
        count_.usemtlGroups.push_back(*current_);
        count_.usemtlOffsets.push_back(offset);
    }

    std::string_view RestOfLine() {
        const std::size_t start = at_;
        SkipLine();
        const std::size_t stop = at_ > start && CounterTestBreak(text_[at_ - 1]) ? at_ - 1 : at_;
        return text_.substr(start, stop - start);
    }

    // A name is the first word of the line's rest, or its second when there is one.
    static std::string_view Name(std::string_view rest) {
        std::vector<std::string_view> words;
        for (std::size_t i = 0; i < rest.size() && words.size() < 2;) {
            if (CounterTestBlank(rest[i])) {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < rest.size() && !CounterTestBlank(rest[end])) {
                ++end;
            }
            words.push_back(rest.substr(i, end - i));
            i = end;
        }
        return words.empty() ? std::string_view() : words.back();
    }

    void SkipBlanks() {
        while (at_ < text_.size() && CounterTestBlank(text_[at_])) {
            ++at_;
        }
    }

    std::size_t WordEnd(std::size_t from) const {
        while (from < text_.size() && !CounterTestBlank(text_[from])) {
            ++from;
        }
        return from;
    }

    void SkipLine() {
        while (at_ < text_.size() && !CounterTestBreak(text_[at_])) {
            ++at_;
        }
        at_ += at_ < text_.size() ? 1 : 0;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    ObjChunkCount count_;
    std::optional<uint32_t> current_;
};

// Statements as models write them, and as broken or odd ones do: faces whose corners run on over
// lines or carry signs, words after a face, unknown vector kinds, names with several words,
// indented and empty lines, bytes that are no blank.
std::string HostileStatement(std::mt19937& random, bool allowFault) {
    static const std::vector<std::string> kStatements = {"v 1.5 -2 3",
                                                         "vt 0.25 0.5",
                                                         "vn 0 0 1",
                                                         "v",
                                                         "vn",
                                                         "vt",
                                                         "vnx 1",
                                                         "f 1 2 3",
                                                         "f 1/1/1 2/2/2 3/3/3 4/4/4",
                                                         "f 12//3 4//5 6//7",
                                                         "f -1 -2 -3",
                                                         "f +1 2 3",
                                                         "f 1 -2 3",
                                                         "f 1 2",
                                                         "f",
                                                         "fo 1 2 3",
                                                         "f 1 2 3 g tail",
                                                         "f 1 2 - 3",
                                                         "f 1 2 +x",
                                                         "f 1 2 3 4 5 6 7",
                                                         "f 1 2\n3 4",
                                                         "f 1 2\n\n  -3 4",
                                                         "f 1 2\r\n+5",
                                                         "f 7 8 9 #c",
                                                         "f 1a 2b 3c",
                                                         "# a comment",
                                                         "#",
                                                         "#f 1 2 3",
                                                         "g body part",
                                                         "o torso",
                                                         "s 1",
                                                         "s off",
                                                         "1 2 3",
                                                         "-1 2",
                                                         "+ 1",
                                                         "usemtl skin",
                                                         "usemtl bone",
                                                         "usemtl a skin",
                                                         "usemtl",
                                                         "usemtl\tlead  ",
                                                         "mtllib dir/m.mtl",
                                                         "mtllib",
                                                         "mtllib a b c",
                                                         "ufo 1",
                                                         "mx",
                                                         "# caf\xC3\xA9 \x01 \x7F",
                                                         "v\x01 1 2 3",
                                                         "l 1 2",
                                                         "p 3"};
    const std::size_t pick = random() % kStatements.size();
    std::string statement = kStatements[pick];
    if (statement == "vnx 1" && !allowFault) {
        statement = "vn 1 1 1";
    }
    if (random() % 13 == 0) { // a face long enough to span several blocks of 64 bytes
        statement = "f";
        const int corners = 20 + static_cast<int>(random() % 60);
        for (int i = 0; i < corners; ++i) {
            statement +=
                " " + std::to_string(random() % 1000000) + "/" + std::to_string(random() % 99);
        }
    }
    // Blanks of every kind between the words.
    static const char* const kBlanks[] = {" ", " ", " ", "\t", "  ", "\v", "\f", " \t "};
    std::string spaced;
    for (char c : statement) {
        spaced += c == ' ' ? kBlanks[random() % std::size(kBlanks)] : std::string(1, c);
    }
    return spaced;
}

std::string HostileText(unsigned seed, int statements, bool allowFault) {
    std::mt19937 random(seed);
    static const char* const kLineEnds[] = {"\n",   "\n",  "\n",     "\r\n",     "\r",
                                            "\n\n", " \n", "\t\r\n", "\r\n\r\n", "\n \n"};
    static const char* const kIndents[] = {"", "", "", "", "", "", " ", "\t", "\n", "  \r\n"};
    std::string text;
    for (int i = 0; i < statements; ++i) {
        text += kIndents[random() % std::size(kIndents)];
        text += HostileStatement(random, allowFault);
        if (i + 1 < statements || random() % 2 == 0) {
            text += kLineEnds[random() % std::size(kLineEnds)];
        }
    }
    return text;
}

void ExpectSameCount(const ObjChunkCount& counted, const ObjChunkCount& expected) {
    EXPECT_EQ(counted.vertices, expected.vertices);
    EXPECT_EQ(counted.normals, expected.normals);
    EXPECT_EQ(counted.texCoords, expected.texCoords);
    EXPECT_EQ(counted.triangles, expected.triangles);
    EXPECT_EQ(counted.leadingTriangles, expected.leadingTriangles);
    EXPECT_EQ(counted.groupNames, expected.groupNames);
    EXPECT_EQ(counted.groupTriangles, expected.groupTriangles);
    EXPECT_EQ(counted.usemtlGroups, expected.usemtlGroups);
    EXPECT_EQ(counted.usemtlOffsets, expected.usemtlOffsets);
    ASSERT_EQ(counted.libraries.size(), expected.libraries.size());
    for (std::size_t i = 0; i < counted.libraries.size(); ++i) {
        EXPECT_EQ(counted.libraries[i].offset, expected.libraries[i].offset);
        EXPECT_EQ(counted.libraries[i].name, expected.libraries[i].name);
    }
    EXPECT_EQ(counted.faultOffset, expected.faultOffset);
    EXPECT_EQ(counted.unknownWord, expected.unknownWord);
}

ObjChunkCount CountWhole(const ObjSource& source, std::size_t windowBytes) {
    const std::function<void(double)> noProgress;
    ObjReadProgress progress(noProgress, source.Size());
    std::string buffer;
    ObjChunkCount count;
    count.end = source.Size();
    CountObjChunk(source, windowBytes, buffer, count, progress);
    return count;
}

} // namespace

// The counting steps from line to line over masks of the bytes and hands whatever is unusual to
// the word-by-word reading; it must count what the grammar says on any text, however the text
// falls into windows and blocks of 64 bytes.
TEST(ObjChunkCounter, CountsAsTheWordByWordGrammarOnHostileTexts) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("ruvo-chunk-counter-" + std::to_string(::getpid()));
    for (unsigned seed = 1; seed <= 60; ++seed) {
        const std::string text = HostileText(seed, 40 + static_cast<int>(seed * 7), seed % 4 == 0);
        SCOPED_TRACE("seed " + std::to_string(seed));
        const ObjChunkCount expected = WordByWordCount(text).Run();
        ExpectSameCount(CountWhole(ObjSource(text), 0), expected);
        // From a file, in windows cut wherever a statement starts a line.
        std::ofstream(file, std::ios::binary) << text;
        for (std::size_t windowBytes : {64u, 65u, 97u, 200u, 1000u}) {
            std::optional<RegularFile> opened = RegularFile::Open(file.string());
            ASSERT_TRUE(opened);
            SCOPED_TRACE("window " + std::to_string(windowBytes));
            ExpectSameCount(CountWhole(ObjSource(std::move(*opened)), windowBytes), expected);
        }
    }
    std::filesystem::remove(file);
}

// Plain models, the fast path's own ground: every line from its first byte, faces whose lines
// end anywhere in a block of 64 bytes, the text ending with or without a line break.
TEST(ObjChunkCounter, CountsPlainModelsAtEveryAlignment) {
    for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
        std::string body;
        for (int i = 0; i < 40; ++i) {
            body +=
                "v 0.1 0.2 0.3" + std::string(lineEnd) + "vt 1 1" + lineEnd + "vn 0 1 0" + lineEnd;
            body += "f " + std::to_string(i + 1) + "/1/1 2" + std::string(i % 7, '2') + "/2/2 3/" +
                    std::to_string(i * 37) + "/3" + lineEnd;
        }
        for (std::size_t shift = 0; shift < 70; ++shift) {
            // A comment of growing length moves every later statement by one byte.
            std::string text = "#" + std::string(shift, 'x') + lineEnd + body + "f 1 2 3 4";
            if (shift % 2 == 1) {
                text += lineEnd;
            }
            const ObjChunkCount counted = CountWhole(ObjSource(text), 0);
            EXPECT_EQ(counted.vertices, 40u);
            EXPECT_EQ(counted.texCoords, 40u);
            EXPECT_EQ(counted.normals, 40u);
            EXPECT_EQ(counted.triangles, 42u);
            ExpectSameCount(counted, WordByWordCount(text).Run());
        }
    }
}
