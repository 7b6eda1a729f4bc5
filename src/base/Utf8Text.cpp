#include "base/Utf8Text.h"

#include <cstdio>

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xc0) == 0x80;
}

// The sequence's length from its first byte, with the bits of the value that byte carries and
// the smallest value the length may encode (anything smaller is an overlong form).
struct Lead {
    std::size_t size;
    char32_t bits;
    char32_t least;
};

std::optional<Lead> LeadOf(unsigned char byte) {
    if (byte < 0x80) {
        return Lead{1, byte, 0};
    }
    if ((byte & 0xe0) == 0xc0) {
        return Lead{2, static_cast<char32_t>(byte & 0x1f), 0x80};
    }
    if ((byte & 0xf0) == 0xe0) {
        return Lead{3, static_cast<char32_t>(byte & 0x0f), 0x800};
    }
    if ((byte & 0xf8) == 0xf0) {
        return Lead{4, static_cast<char32_t>(byte & 0x07), 0x10000};
    }
    return std::nullopt;
}

} // namespace

Utf8Character DecodeUtf8At(std::string_view text, std::size_t at) {
    const auto first = static_cast<unsigned char>(text[at]);
    const Utf8Character invalid{first, 1, false};
    const std::optional<Lead> lead = LeadOf(first);
    if (!lead || at + lead->size > text.size()) {
        return invalid;
    }
    char32_t value = lead->bits;
    for (std::size_t i = 1; i < lead->size; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if (!IsContinuation(byte)) {
            return invalid;
        }
        value = (value << 6) | (byte & 0x3f);
    }
    const bool surrogate = value >= 0xd800 && value <= 0xdfff;
    if (value < lead->least || surrogate || value > 0x10ffff) {
        return invalid;
    }
    return {value, lead->size, true};
}

std::size_t CountCharacters(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); at += DecodeUtf8At(text, at).size) {
        ++count;
    }
    return count;
}

std::string_view FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t taken = 0; taken < count && at < text.size(); ++taken) {
        at += DecodeUtf8At(text, at).size;
    }
    return text.substr(0, at);
}

bool IsControlCharacter(char32_t c) {
    return c < 0x20 || (c >= 0x7f && c <= 0x9f);
}

bool IsLayoutControl(char32_t c) {
    return (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069) || c == 0x200e ||
           c == 0x200f || c == 0x061c || c == 0x2028 || c == 0x2029;
}

bool IsNoncharacter(char32_t c) {
    return (c >= 0xfdd0 && c <= 0xfdef) || (c & 0xfffe) == 0xfffe;
}

std::optional<Utf8Character> FirstUnprintable(std::string_view text, bool lineBreaks) {
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character c = DecodeUtf8At(text, at);
        const bool allowedBreak =
            lineBreaks && (c.value == '\n' || c.value == '\r' || c.value == '\t');
        if (!c.valid || ((IsControlCharacter(c.value) && !allowedBreak) ||
                         IsLayoutControl(c.value) || IsNoncharacter(c.value))) {
            return c;
        }
        at += c.size;
    }
    return std::nullopt;
}

std::string CharacterName(const Utf8Character& c) {
    char name[24];
    if (!c.valid) {
        std::snprintf(name, sizeof name, "the byte 0x%02X", static_cast<unsigned>(c.value));
    } else {
        std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c.value));
    }
    return name;
}
