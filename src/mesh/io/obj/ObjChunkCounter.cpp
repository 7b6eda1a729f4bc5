#include "mesh/io/obj/ObjChunkCounter.h"

#include "base/NameIndex.h"
#include "mesh/io/obj/FaceReader.h"
#include "mesh/io/obj/ObjByteMasks.h"
#include "mesh/io/obj/ObjTextCursor.h"
#include "mesh/io/obj/ObjWindowReader.h"

#include <algorithm>

namespace {

// The counting of one stretch, statement by statement, as the sequential first reading does it.
class ChunkCounter {
public:
    explicit ChunkCounter(ObjChunkCount& count) : count_(count) {}

    // Counts the statements of one window; false when a statement cannot be taken. The window
    // is walked line by line with its byte masks: the common statements (vectors, plain faces,
    // comments and unused statements) are counted from their line's first bytes and word starts;
    // from any other statement on, the window is read word by word until a line begins.
    bool CountWindow(std::string_view window, std::size_t windowOffset) {
        windowBegin_ = window.data();
        windowOffset_ = windowOffset;
        masks_.Classify(window);
        ObjByteMasks::LineBreakWalk breaks = masks_.LineBreaksFrom(0);
        for (std::size_t lineStart = 0; lineStart < window.size();) {
            const std::size_t lineEnd = masks_.NextLineBreak(breaks);
            if (CountLine(window, lineStart, lineEnd)) {
                lineStart = lineEnd + 1;
                continue;
            }
            const std::optional<std::size_t> resume = CountCarefully(window, lineStart);
            if (!resume) {
                return false;
            }
            lineStart = *resume;
            breaks = masks_.LineBreaksFrom(lineStart);
        }
        return true;
    }

private:
    // Counts the statement that the line [start, end) begins with when it is one of the common
    // kinds, written plainly and ending with the line; false, nothing counted, for the careful
    // reading to take it.
    bool CountLine(std::string_view window, std::size_t start, std::size_t end) {
        if (start == end) {
            return true; // an empty line, or the LF of a CR LF
        }
        switch (window[start]) {
        case 'v':
            return CountVectorLine(window, start, end);
        case 'f':
            return CountFaceLine(window, start, end);
        case 'm':
        case 'u':
            return false;
        default:
            // A line starting with a blank has its statement further on; any other is a comment
            // or a statement that the model does not use, skipped with its line.
            return !ObjTextCursor::IsBlank(window[start]);
        }
    }

    // "v", "vn" and "vt" lines; their numbers are read by the second reading.
    bool CountVectorLine(std::string_view window, std::size_t start, std::size_t end) {
        const char second = start + 1 < end ? window[start + 1] : ' ';
        if (ObjTextCursor::IsBlank(second)) {
            ++count_.vertices;
        } else if (second == 'n') {
            ++count_.normals;
        } else if (second == 't') {
            ++count_.texCoords;
        } else {
            return false;
        }
        return true;
    }

    // A face whose corners all start with a digit and end with its line.
    bool CountFaceLine(std::string_view window, std::size_t start, std::size_t end) {
        const std::size_t corners = masks_.CountDigitWordsAfter(start, end);
        if (corners == SIZE_MAX) {
            return false; // a word other than the corners follows the face on its line
        }
        if (end < window.size()) {
            const std::size_t next =
                ObjTextCursor::IsBlank(window[end + 1 < window.size() ? end + 1 : end])
                    ? masks_.NextNonBlank(end)
                    : end + 1;
            if (next < window.size() && MayStartCorner(window[next])) {
                return false; // the corners may go on over the next line
            }
        }
        AddTriangles(FaceReader::TrianglesFor(corners));
        return true;
    }

    static bool MayStartCorner(char c) {
        return static_cast<unsigned char>(c - '0') <= 9 || c == '-' || c == '+';
    }

    // Reads statements word by word from `from` until one ends where a line begins; returns that
    // place (or the window's end), nothing when a statement cannot be taken.
    std::optional<std::size_t> CountCarefully(std::string_view window, std::size_t from) {
        ObjTextCursor cursor(window);
        cursor.MoveTo(window.data() + from);
        do {
            const std::string_view word = cursor.NextWord();
            if (word.empty()) {
                break;
            }
            if (!CountStatement(word, cursor)) {
                count_.faultOffset = Offset(word);
                return std::nullopt;
            }
        } while (cursor.Offset() < window.size() &&
                 !ObjTextCursor::IsLineBreak(window[cursor.Offset() - 1]));
        return cursor.Offset();
    }

    bool CountStatement(std::string_view word, ObjTextCursor& cursor) {
        switch (word[0]) {
        case 'f':
            AddTriangles(FaceReader::TrianglesFor(FaceReader::CountCorners(cursor)));
            return true;
        case 'm':
            count_.libraries.push_back(
                {Offset(word), std::string(NameArgument(cursor.RestOfLine()))});
            return true;
        case 'u':
            UseGroup(NameArgument(cursor.RestOfLine()), Offset(word));
            return true;
        case 'v':
            if (word.size() == 1) {
                ++count_.vertices;
            } else if (word[1] == 'n') {
                ++count_.normals;
            } else if (word[1] == 't') {
                ++count_.texCoords;
            } else {
                count_.unknownWord = std::string(word);
                return false;
            }
            cursor.SkipLine();
            return true;
        default:
            cursor.SkipLine();
            return true;
        }
    }

    // Where a word of the current window stands in the whole text.
    std::size_t Offset(std::string_view word) const {
        return windowOffset_ + static_cast<std::size_t>(word.data() - windowBegin_);
    }

    void AddTriangles(std::size_t added) {
        count_.triangles += added;
        if (current_) {
            count_.groupTriangles[*current_] += added;
        } else {
            count_.leadingTriangles += added;
        }
    }

    void UseGroup(std::string_view name, std::size_t offset) {
        const auto next = static_cast<uint32_t>(count_.groupNames.size());
        const uint32_t group = groups_.Add(name, next);
        if (group == next) {
            count_.groupNames.emplace_back(name);
            count_.groupTriangles.push_back(0);
        }
        current_ = group;
        count_.usemtlGroups.push_back(group);
        count_.usemtlOffsets.push_back(offset);
    }

    ObjChunkCount& count_;
    ObjByteMasks masks_;
    NameIndex groups_;
    std::optional<uint32_t> current_;
    const char* windowBegin_ = nullptr;
    std::size_t windowOffset_ = 0;
};

} // namespace

void CountObjChunk(const ObjSource& source, std::size_t windowBytes, std::string& windowBuffer,
                   ObjChunkCount& count, ObjReadProgress& progress) {
    ObjWindowReader windows(source, count.begin, count.end, windowBytes, windowBuffer);
    ChunkCounter counter(count);
    std::string_view window;
    while (true) {
        if (!windows.Next(window)) {
            count.faultOffset = windows.WindowOffset();
            return;
        }
        if (window.empty()) {
            return;
        }
        if (!counter.CountWindow(window, windows.WindowOffset())) {
            return;
        }
        progress.Advance(window.size());
    }
}
