#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// Walks the lines of an OFF text that carry something: '#' starts a comment that runs to the end
// of its line, and lines left blank are passed over. Each line comes out as its words.
class OffLineCursor {
public:
    explicit OffLineCursor(std::string_view fileText) : text(fileText) {}

    // The words of the next line that has any; false at the end of the text.
    bool Next(std::vector<std::string_view>& words);

    // The bytes not yet read, which bound what the rest of the file can hold.
    std::size_t Remaining() const { return text.size() - position; }
    std::size_t Consumed() const { return position; }
    // The number of the line last returned, from 1.
    std::size_t LineNumber() const { return lineNumber; }

private:
    std::string_view text;
    std::size_t position = 0;
    std::size_t lineNumber = 0;
};
