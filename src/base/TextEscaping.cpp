#include "base/TextEscaping.h"

#include "base/Utf8Text.h"

#include <array>
#include <cstdio>
#include <utility>

namespace {

constexpr std::array<std::pair<char, std::string_view>, 5> kEntities = {{
    {'&', "&amp;"},
    {'<', "&lt;"},
    {'>', "&gt;"},
    {'\r', "&#13;"},
    {'\n', "&#10;"},
}};

} // namespace

std::string EscapeText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        bool replaced = false;
        for (const auto& [character, entity] : kEntities) {
            if (c == character) {
                escaped.append(entity);
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            escaped.push_back(c);
        }
    }
    return escaped;
}

std::string UnescapeText(std::string_view text) {
    std::string plain;
    plain.reserve(text.size());
    size_t position = 0;
    while (position < text.size()) {
        bool replaced = false;
        if (text[position] == '&') {
            for (const auto& [character, entity] : kEntities) {
                if (text.substr(position).starts_with(entity)) {
                    plain.push_back(character);
                    position += entity.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) {
            plain.push_back(text[position]);
            ++position;
        }
    }
    return plain;
}

namespace {

std::string EscapeOf(const Utf8Character& c) {
    switch (c.value) {
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    default:
        break;
    }
    char escape[16];
    if (!c.valid || c.value < 0x80) {
        std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned>(c.value));
    } else if (c.value <= 0xffff) {
        std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c.value));
    } else {
        std::snprintf(escape, sizeof escape, "\\U%08x", static_cast<unsigned>(c.value));
    }
    return escape;
}

} // namespace

std::string PrintableText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character c = DecodeUtf8At(text, at);
        if (FirstUnprintable(text.substr(at, c.size))) {
            shown += EscapeOf(c);
        } else {
            shown.append(text.substr(at, c.size));
        }
        at += c.size;
    }
    return shown;
}
