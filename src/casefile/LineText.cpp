#include "casefile/LineText.h"

#include "base/TextWords.h"

namespace line_text {

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string LowerCased(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lowered;
}

std::string Quoted(std::string_view text) {
    constexpr size_t kLongest = 40;
    const std::string_view trimmed = Trimmed(text);
    return "\"" + std::string(trimmed.substr(0, kLongest)) +
           (trimmed.size() > kLongest ? "...\"" : "\"");
}

void AppendValueLine(std::string& out, std::string_view indent, std::string_view tag,
                     std::string_view value, std::string_view lineEnd) {
    out.append(indent).append("<").append(tag).append(">").append(value);
    out.append("</").append(tag).append(">").append(lineEnd);
}

} // namespace line_text
