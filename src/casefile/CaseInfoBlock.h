#pragma once

#include "case/CaseInfo.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

// The data file's case block: one line per field that has a value, between "<case>" and
// "</case>", after the software block. A case without any information writes no block, so its
// file is what it was before cases carried one; a file without the block leaves the case
// information as it was.
class CaseInfoBlock {
public:
    using NoteSink = std::function<void(std::string)>;

    // Appends the block (with the blank line before it) for a case that has information.
    static void Append(std::string& out, const CaseInfo& info, std::string_view lineEnd);

    // The reader's side: a block starts, a value line of it arrives (`lowered` is the line in
    // lower case, `value` the raw text between its tags, `line` its number in the file), the
    // block ends.
    void Start();
    void Store(std::string_view lowered, std::string_view value, long line);
    // The information the block gives: each value unescaped, and one that the field cannot take
    // (a date that is no day, a line break or a bidirectional control in the case number, a text
    // too long) left empty with a note naming its line.
    CaseInfo Finish(const NoteSink& note) const;

private:
    std::array<std::string, CaseInfo::kFieldCount> values;
    std::array<long, CaseInfo::kFieldCount> lines{};
};
