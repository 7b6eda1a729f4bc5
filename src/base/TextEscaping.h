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

// The text as one line a terminal, a table row or a message shows as it is: every character that
// is not printable (a control such as ESC, BEL or NUL, a line or tab, a character that reorders or
// breaks the line, a noncharacter, a byte that is not UTF-8) is written as an escape: "\n",
// "\r", "\t", "\x1b" for the other controls below U+0080 and for a stray byte, a backslash, "u" and
// four hex digits for the rest (U+202E as "u202e" after the backslash). Printable text, in any
// script, stays as it is.
std::string PrintableText(std::string_view text);
