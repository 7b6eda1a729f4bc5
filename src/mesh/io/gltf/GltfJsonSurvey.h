#pragma once

#include "base/Status.h"
#include "mesh/io/ImportBudget.h"

#include <cstdint>
#include <string_view>

// A look at a glTF file's JSON before it is parsed: how deeply its arrays and objects nest and
// how many values it holds. The glTF library parses nested values (extras, extensions) by
// recursion and keeps a model of several hundred bytes per object, so a file that nests deeper
// than any model needs, or whose values would cost more than the budget allows, is refused
// before it is handed over.
class GltfJsonSurvey {
public:
    static constexpr int kMaxDepth = 64;
    // What the parsed model costs per JSON object and per member or array item, with the JSON
    // tree the library builds on the way (measured: 100,000 nodes that each name their mesh take
    // 79 MB; an array item of extras some 170 bytes).
    static constexpr uint64_t kBytesPerObject = 768;
    static constexpr uint64_t kBytesPerValue = 192;

    // `budget`: ImportBudget::ForGltfDescription of the JSON's size.
    static Status Check(std::string_view json, const ImportBudget& budget);
};
