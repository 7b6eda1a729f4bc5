#include "base/TextEscaping.h"

#include <array>
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
