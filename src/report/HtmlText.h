#pragma once

#include <string>

// How a text's line ends go into HTML: as they are, or as <br> (a label's lines, with the CR of
// a CR LF dropped).
enum class LineEnds { AsWritten, AsBreaks };

// The text with &, <, > and " written as entities, so that it reads as text inside HTML.
std::string HtmlEscaped(const std::string& text, LineEnds lineEnds);
