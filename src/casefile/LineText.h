#pragma once

#include <string>
#include <string_view>

// What the readers of the data file's lines share: how a line is matched and how a value is shown
// in a reading note.
namespace line_text {

bool Contains(std::string_view text, std::string_view part);
// The text with A-Z lowered; the tags are matched so, whatever case a hand-edited file gives them.
std::string LowerCased(std::string_view text);
// The value as a note shows it: trimmed, in quotes, and cut when long (a hand-edited line may
// hold 32 KiB).
std::string Quoted(std::string_view text);

} // namespace line_text
