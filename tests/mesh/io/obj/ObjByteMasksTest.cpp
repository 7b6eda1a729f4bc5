#include "mesh/io/obj/ObjByteMasks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

bool MasksTestBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The first position at or after `from` whose byte passes `test`, or the text's size.
template <typename Test>
std::size_t MasksTestFind(const std::string& text, std::size_t from, Test test) {
    while (from < text.size() && !test(text[from])) {
        ++from;
    }
    return from;
}

// The words starting in (from, to) by their definition; SIZE_MAX when one starts otherwise than
// with a digit.
std::size_t MasksTestDigitWords(const std::string& text, std::size_t from, std::size_t to) {
    std::size_t words = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (!MasksTestBlank(text[i]) && MasksTestBlank(text[i - 1])) {
            if (text[i] < '0' || text[i] > '9') {
                return SIZE_MAX;
            }
            ++words;
        }
    }
    return words;
}

} // namespace

// Every byte value, every way of classifying (the widest the processor has, sixteen bytes a step,
// one), texts of every length around the blocks of 64 bytes: each question the masks answer is
// the byte-by-byte answer.
TEST(ObjByteMasks, EveryWayOfClassifyingAnswersAsTheBytesDo) {
    std::mt19937 random(7);
    // Mostly the bytes of a model, so that words and lines are short; now and then any byte.
    const std::string common = "  \t\n\r\v\f0123456789/-+.fv#";
    ObjByteMasks masks;
    for (std::size_t size = 0; size < 300; size += 1 + size / 40) {
        std::string text(size, ' ');
        for (char& c : text) {
            c = random() % 8 == 0 ? static_cast<char>(random() % 256)
                                  : common[random() % common.size()];
        }
        for (const ObjByteMasks::Step step :
             {ObjByteMasks::Step::Widest, ObjByteMasks::Step::Sixteen, ObjByteMasks::Step::One}) {
            masks.Classify(text, step);
            SCOPED_TRACE("size " + std::to_string(size) + " step " +
                         std::to_string(static_cast<int>(step)));
            ASSERT_EQ(masks.Size(), size);
            ObjByteMasks::LineBreakWalk walk = masks.LineBreaksFrom(0);
            std::size_t lineBreak = 0;
            for (std::size_t at = 0; at <= size; ++at) {
                const auto isBreak = [](char c) { return c == '\n' || c == '\r'; };
                EXPECT_EQ(masks.NextBlank(at), MasksTestFind(text, at, MasksTestBlank));
                EXPECT_EQ(masks.NextNonBlank(at),
                          MasksTestFind(text, at, [](char c) { return !MasksTestBlank(c); }));
                EXPECT_EQ(masks.NextLineBreak(at), MasksTestFind(text, at, isBreak));
                if (at < size) {
                    EXPECT_EQ(masks.IsBlankAt(at), MasksTestBlank(text[at]));
                }
                if (at == lineBreak) { // the walk meets every line break in turn
                    lineBreak = MasksTestFind(text, at, isBreak);
                    EXPECT_EQ(masks.NextLineBreak(walk), lineBreak);
                    ++lineBreak;
                }
                for (std::size_t to = at; to <= size && to < at + 200; to += 1 + to % 3) {
                    if (at < size && !MasksTestBlank(text[at])) {
                        EXPECT_EQ(masks.CountDigitWordsAfter(at, to),
                                  MasksTestDigitWords(text, at, to));
                    }
                }
            }
        }
    }
}
