#pragma once

#include <string>
#include <string_view>

// What the readers and writers of the data file's lines share: how a line is matched, how a value
// is shown in a reading note, and how a value line is written.
namespace line_text {

bool Contains(std::string_view text, std::string_view part);
// The text with A-Z lowered; the tags are matched so, whatever case a hand-edited file gives them.
std::string LowerCased(std::string_view text);
// The value as a note shows it: trimmed, in quotes, and cut when long (a hand-edited line may
// hold 32 KiB).
std::string Quoted(std::string_view text);

// Appends one value line, `<tag>value</tag>` after the indent and before the line end; the value
// must be escaped already.
void AppendValueLine(std::string& out, std::string_view indent, std::string_view tag,
                     std::string_view value, std::string_view lineEnd);

} // namespace line_text
