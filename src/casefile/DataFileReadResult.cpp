#include "casefile/DataFileReadResult.h"

#include "base/NumberText.h"

namespace {

std::string Plural(int count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

} // namespace

std::vector<std::string> DataFileReadResult::ReadingNotes() const {
    std::vector<std::string> lines;
    std::string parts;
    if (trajectoriesLeftOut > 0) {
        parts = Plural(trajectoriesLeftOut, "trajectory", "trajectories");
    }
    if (elementsLeftOut > 0) {
        parts += (parts.empty() ? "" : " and ") + Plural(elementsLeftOut, "element", "elements");
    }
    if (!parts.empty()) {
        lines.push_back(parts + " of the data file left out: the scene holds at most 20 "
                                "trajectories and 20 elements.");
    }
    if (bodyHeightRefused) {
        const std::string kept = FormatFixed(keptBodyHeight * 100.0, 0, 1);
        // A hand-edited line may hold kilobytes where the height should be.
        constexpr size_t kLongest = 40;
        const std::string shown = refusedBodyHeight.size() > kLongest
                                      ? refusedBodyHeight.substr(0, kLongest) + "..."
                                      : refusedBodyHeight;
        // A blank height reads as 0, as it always did.
        const bool number = ParseNumberToken(refusedBodyHeight) ||
                            refusedBodyHeight.find_first_not_of(" \t\r\n") == std::string::npos;
        lines.push_back("The body height \"" + shown + "\" of the data file left out: " +
                        (number ? "a body height must be more than 0 cm" : "it is not a number") +
                        "; the height stays " + kept + " cm.");
    }
    lines.insert(lines.end(), notes.begin(), notes.end());
    if (notesNotListed > 0) {
        lines.push_back("And " +
                        Plural(notesNotListed, "more value or line", "more values or lines") +
                        " of the data file left out or replaced.");
    }
    return lines;
}

std::string DataFileReadResult::LeftOutMessage() const {
    std::string message;
    for (const std::string& line : ReadingNotes()) {
        message += (message.empty() ? "" : "\n") + line;
    }
    return message;
}
