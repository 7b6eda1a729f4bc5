#include "mesh/io/obj/ObjChunkCounter.h"

#include "base/NameIndex.h"
#include "mesh/io/obj/FaceReader.h"
#include "mesh/io/obj/ObjTextCursor.h"
#include "mesh/io/obj/ObjWindowReader.h"

namespace {

// The counting of one stretch, statement by statement, as the sequential first reading does it.
class ChunkCounter {
public:
    explicit ChunkCounter(ObjChunkCount& count) : count_(count) {}

    // Counts the statements of one window; false when a statement cannot be taken.
    bool CountWindow(std::string_view window, std::size_t windowOffset) {
        windowBegin_ = window.data();
        windowOffset_ = windowOffset;
        ObjTextCursor cursor(window);
        for (std::string_view word = cursor.NextWord(); !word.empty(); word = cursor.NextWord()) {
            if (!CountStatement(word, cursor)) {
                count_.faultOffset = Offset(word);
                return false;
            }
        }
        return true;
    }

private:
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
