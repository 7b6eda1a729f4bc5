#include "mesh/io/obj/ObjWindowReader.h"

#include <algorithm>
#include <optional>

ObjWindowReader::ObjWindowReader(const ObjSource& source, std::size_t begin, std::size_t end,
                                 std::size_t windowBytes, std::string& buffer)
    : source_(source), position_(begin), end_(end),
      windowBytes_(source.InMemory() ? end - begin : std::max<std::size_t>(windowBytes, 64)),
      windowOffset_(begin), buffer_(buffer) {}

bool ObjWindowReader::Next(std::string_view& window) {
    windowOffset_ = position_;
    std::size_t wanted = windowBytes_;
    while (true) {
        const std::size_t length = std::min(wanted, end_ - position_);
        const std::optional<std::string_view> piece = source_.Read(position_, length, buffer_);
        if (!piece) {
            return false;
        }
        if (position_ + length == end_) {
            window = *piece;
            position_ = end_;
            return true;
        }
        // Cut before the last statement that starts in the piece; it is read again next time.
        for (std::size_t cut = piece->size() - 1; cut > 0; --cut) {
            if (ObjSource::IsStatementStart(*piece, cut)) {
                window = piece->substr(0, cut);
                position_ += cut;
                return true;
            }
        }
        wanted *= 2; // one statement longer than the window: read more of it
    }
}
