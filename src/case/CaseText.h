#pragma once

#include <cstddef>
#include <string_view>

// The longest text a case holds (a label, a name, the notes) once escaped for its data file, so
// that its line fits with its tags and indent. The label dialog's 4,999 characters fit even when
// every one is written as a five-byte entity.
inline constexpr std::size_t kMaxCaseTextLength = 32000;

// True when the text, escaped as the data file stores it, fits on a line.
bool CaseTextFits(std::string_view text);
