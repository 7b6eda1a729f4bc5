#pragma once

#include "mesh/io/obj/ObjSource.h"

#include <cstddef>
#include <string>
#include <string_view>

// Hands out a stretch [begin, end) of a model's text as windows of whole statements, each cut
// where a statement starts on a line of its own, so that a reading can go through it window by
// window exactly as through the whole text. Text in memory comes as one window; a file is read
// into `buffer`, about `windowBytes` of it, grown when a single statement is longer. The buffer is
// the caller's, so that a thread reading several stretches prepares its pages once.
class ObjWindowReader {
public:
    ObjWindowReader(const ObjSource& source, std::size_t begin, std::size_t end,
                    std::size_t windowBytes, std::string& buffer);

    // The next window (empty once the stretch is done); false when the file no longer holds the
    // bytes it held when reading began.
    bool Next(std::string_view& window);

    // Where the last window starts in the text.
    std::size_t WindowOffset() const { return windowOffset_; }

private:
    const ObjSource& source_;
    std::size_t position_;
    std::size_t end_;
    std::size_t windowBytes_;
    std::size_t windowOffset_;
    std::string& buffer_;
};
