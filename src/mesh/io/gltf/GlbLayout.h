#pragma once

#include "base/Status.h"

#include <string_view>

// The frame of a binary glTF file: a 12-byte header ("glTF", version 2, total length), a JSON
// chunk and at most one BIN chunk, each an 8-byte head (length, type) and its bytes. Every length
// is checked against the bytes there are before anything is read by it.
struct GlbLayout {
    std::string_view json;
    std::string_view bin; // empty when the file has no BIN chunk

    static Status Parse(std::string_view bytes, GlbLayout& layout);
};
