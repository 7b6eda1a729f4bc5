#pragma once

#include <string_view>
#include <vector>

// A text without the blanks, tabs and line ends around it.
std::string_view Trimmed(std::string_view text);
// The words of a text separated by blanks or tabs.
std::vector<std::string_view> Words(std::string_view text);
