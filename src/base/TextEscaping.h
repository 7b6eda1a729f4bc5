#pragma once

#include <string>
#include <string_view>

// Texts stored in the data file (labels, the body name) must stay on one line and must not look
// like tags: "&", "<", ">", carriage return and line feed are written as the entities "&amp;",
// "&lt;", "&gt;", "&#13;" and "&#10;".
std::string EscapeText(std::string_view text);

// Turns those five entities back into their characters; anything else, including other entities,
// stays as it is, so texts of files written before the escaping read as they always did.
std::string UnescapeText(std::string_view text);
