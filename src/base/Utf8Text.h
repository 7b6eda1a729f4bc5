#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The characters of UTF-8 text, one at a time. Case texts, labels and names are kept as UTF-8
// bytes; what a person counts and what a page or a terminal shows are characters.
struct Utf8Character {
    char32_t value = 0;   // the code point; the byte itself when `valid` is false
    std::size_t size = 1; // bytes it takes
    bool valid = true;    // false for a byte that starts no well-formed UTF-8 sequence
};

// The character that starts at `at` (which must lie inside `text`). Overlong forms, surrogates
// and values beyond U+10FFFF are invalid: each such byte counts as one invalid character.
Utf8Character DecodeUtf8At(std::string_view text, std::size_t at);

// How many characters (code points, an invalid byte counting as one) the text holds.
std::size_t CountCharacters(std::string_view text);

// The longest start of `text` that holds at most `count` characters, never cutting one.
std::string_view FirstCharacters(std::string_view text, std::size_t count);

// C0 controls, DEL and the C1 controls U+0080..U+009F.
bool IsControlCharacter(char32_t c);

// Characters that change the order or the lines a text is shown in without being seen: the
// bidirectional embeddings, overrides, isolates and marks, and the line and paragraph separators.
bool IsLayoutControl(char32_t c);

// U+FDD0..U+FDEF and the last two code points of every plane (U+FFFE, U+FFFF, ...): never text.
bool IsNoncharacter(char32_t c);

// The first character of `text` that one line of printable text may not hold (a control, a layout
// control, a noncharacter, a byte that is not UTF-8); with `lineBreaks`, CR, LF and tab pass.
// Nothing when every character may stand.
std::optional<Utf8Character> FirstUnprintable(std::string_view text, bool lineBreaks = false);

// "U+202E": how a message names a character; an invalid byte is named "the byte 0xFF".
std::string CharacterName(const Utf8Character& c);
