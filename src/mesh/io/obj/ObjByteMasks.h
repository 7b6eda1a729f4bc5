#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// The classes of the bytes of a piece of text, one bit a byte, 64 bytes to a word: blanks (' ' and
// '\t' to '\r'), line breaks ('\n', '\r') and digits. With them the first reading steps from
// statement to statement and counts a face's corners without looking at each byte in turn; the
// bytes are classified sixteen at a time where the processor allows.
class ObjByteMasks {
public:
    // How many bytes a classifying step takes: the widest the processor allows, or (so that every
    // way can be tested on any machine) sixteen or one where the processor allows them.
    enum class Step { Widest, Sixteen, One };

    // Classifies `text`; the masks of an earlier text are dropped (their memory is kept).
    void Classify(std::string_view text, Step step = Step::Widest);

    std::size_t Size() const { return size_; }

    bool IsBlankAt(std::size_t at) const { return (blocks_[at / 64].blank >> (at % 64)) & 1u; }

    // The first blank, non-blank or line break at or after `from`; Size() when there is none.
    std::size_t NextBlank(std::size_t from) const {
        return Find(from, [](const Block& block) { return block.blank; });
    }
    std::size_t NextNonBlank(std::size_t from) const {
        return Find(from, [](const Block& block) { return ~block.blank; });
    }
    std::size_t NextLineBreak(std::size_t from) const {
        return Find(from, [](const Block& block) { return block.lineBreak; });
    }

    // A walk through the line breaks in text order, started by LineBreaksFrom.
    struct LineBreakWalk {
        std::size_t index = 0; // the block of `bits`
        uint64_t bits = 0;     // the line breaks of that block not yet walked through
    };

    // The line breaks at or after `from`.
    LineBreakWalk LineBreaksFrom(std::size_t from) const {
        LineBreakWalk walk{from / 64, 0};
        if (walk.index < blockCount_) {
            walk.bits = blocks_[walk.index].lineBreak & (~uint64_t{0} << (from % 64));
        }
        return walk;
    }

    // The walk's next line break; Size() when there is none.
    std::size_t NextLineBreak(LineBreakWalk& walk) const {
        while (walk.bits == 0) {
            if (++walk.index >= blockCount_) {
                walk.index = blockCount_;
                return size_;
            }
            walk.bits = blocks_[walk.index].lineBreak;
        }
        const std::size_t at =
            walk.index * 64 + static_cast<std::size_t>(std::countr_zero(walk.bits));
        walk.bits &= walk.bits - 1;
        return at;
    }

    // The number of words (non-blanks after a blank) that start in (from, to) when each of them
    // starts with a digit; SIZE_MAX when one does not. `from` is not a blank. A line of a face
    // spans one or two blocks about equally often: both are looked at without a branch.
    std::size_t CountDigitWordsAfter(std::size_t from, std::size_t to) const {
        if (from + 1 >= to) {
            return 0;
        }
        const std::size_t first = (from + 1) / 64;
        if (to > (first + 2) * 64) {
            return CountDigitWordsFrom(first, from, to);
        }
        const uint64_t blankBefore = first > 0 ? blocks_[first - 1].blank >> 63 : 0;
        const Block& low = blocks_[first];
        const Block& high = blocks_[first + 1];
        const uint64_t lowStarts =
            ~low.blank & ((low.blank << 1) | blankBefore) & BitsWithin(first, from + 1, to);
        const uint64_t highStarts = ~high.blank & ((high.blank << 1) | (low.blank >> 63)) &
                                    BitsWithin(first + 1, from + 1, to);
        const bool digits = ((lowStarts & ~low.digit) | (highStarts & ~high.digit)) == 0;
        return digits ? CountBits(lowStarts) + CountBits(highStarts) : SIZE_MAX;
    }

private:
    struct Block {
        uint64_t blank = 0;
        uint64_t lineBreak = 0;
        uint64_t digit = 0;
    };

    // Classifies the text's whole blocks 32 bytes a step where the processor can; returns how
    // many blocks it classified (none where it cannot).
    static bool CanClassifyWide();
    std::size_t ClassifyWide(const char* text);

    static Block ClassifyBytes(const char* bytes, std::size_t count);
#if defined(__SSE2__)
    static inline Block ClassifySixtyFour(const char* bytes);
#endif

    // The bits of block `index` that stand for the positions [from, to).
    static uint64_t BitsWithin(std::size_t index, std::size_t from, std::size_t to) {
        const std::size_t first = index * 64;
        const uint64_t fromOn = from <= first       ? ~uint64_t{0}
                                : from - first < 64 ? ~uint64_t{0} << (from - first)
                                                    : 0;
        const uint64_t beforeTo = to <= first       ? 0
                                  : to - first < 64 ? (uint64_t{1} << (to - first)) - 1
                                                    : ~uint64_t{0};
        return fromOn & beforeTo;
    }

    // CountDigitWordsAfter for a line of any length, block by block from block `first`.
    std::size_t CountDigitWordsFrom(std::size_t first, std::size_t from, std::size_t to) const {
        std::size_t words = 0;
        uint64_t notDigits = 0;
        for (std::size_t index = first; index * 64 < to; ++index) {
            const Block& block = blocks_[index];
            const uint64_t blankBefore = index > 0 ? blocks_[index - 1].blank >> 63 : 0;
            const uint64_t starts =
                ~block.blank & ((block.blank << 1) | blankBefore) & BitsWithin(index, from + 1, to);
            words += CountBits(starts);
            notDigits |= starts & ~block.digit;
        }
        return notDigits == 0 ? words : SIZE_MAX;
    }

    // The processor's bit count is not part of the x86-64 baseline; this takes a dozen steps
    // without a branch.
    static std::size_t CountBits(uint64_t bits) {
        bits -= (bits >> 1) & 0x5555555555555555ull;
        bits = (bits & 0x3333333333333333ull) + ((bits >> 2) & 0x3333333333333333ull);
        bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Full;
        return static_cast<std::size_t>((bits * 0x0101010101010101ull) >> 56);
    }

    // The first position at or after `from` whose bit is set in `bitsOf(block)`, or Size(). The
    // bits past the end of the text are clear in every mask, so a search for non-blanks that
    // reaches them also ends at Size().
    template <typename Bits> std::size_t Find(std::size_t from, const Bits& bitsOf) const {
        std::size_t index = from / 64;
        if (index >= blockCount_) {
            return size_;
        }
        uint64_t bits = bitsOf(blocks_[index]) & (~uint64_t{0} << (from % 64));
        while (bits == 0) {
            if (++index == blockCount_) {
                return size_;
            }
            bits = bitsOf(blocks_[index]);
        }
        return std::min(size_, index * 64 + static_cast<std::size_t>(std::countr_zero(bits)));
    }

    std::vector<Block> blocks_; // blockCount_ blocks and one of clear bits after them
    std::size_t blockCount_ = 0;
    std::size_t size_ = 0;
};
