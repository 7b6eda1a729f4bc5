#include "mesh/io/off/OffLineCursor.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

} // namespace

bool OffLineCursor::Next(std::vector<std::string_view>& words) {
    words.clear();
    while (position < text.size()) {
        std::size_t end = text.find('\n', position);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(position, end - position);
        position = end < text.size() ? end + 1 : end;
        ++lineNumber;
        if (const std::size_t comment = line.find('#'); comment != std::string_view::npos) {
            line = line.substr(0, comment);
        }
        std::size_t at = 0;
        while (at < line.size()) {
            while (at < line.size() && IsBlank(line[at])) {
                ++at;
            }
            const std::size_t start = at;
            while (at < line.size() && !IsBlank(line[at])) {
                ++at;
            }
            if (at > start) {
                words.push_back(line.substr(start, at - start));
            }
        }
        if (!words.empty()) {
            return true;
        }
    }
    return false;
}
