#include "report/HtmlText.h"

std::string HtmlEscaped(const std::string& text, LineEnds lineEnds) {
    const bool breaks = lineEnds == LineEnds::AsBreaks;
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\n':
            out += breaks ? "<br>" : "\n";
            break;
        case '\r':
            if (!breaks) {
                out += c;
            }
            break;
        default:
            out += c;
        }
    }
    return out;
}
