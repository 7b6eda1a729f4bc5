#pragma once

#include <string>

// The text of --help, written from the command table: each command's synopsis with what it does,
// each option with what it takes, then the notes. The README's command list is this text.
std::string HelpText();
