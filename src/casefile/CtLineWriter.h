#pragma once

#include <string>
#include <string_view>

struct Case;

// After the scene block, for a case whose body is a CT series only (any other case is written
// exactly as before): "<ct>", "  <folder>PATH</folder>", "  <series>UID</series>", "</ct>". The
// folder is named `folderName`, the case's folder as this file names it (relative to the file's
// folder where it lies in or below it).
void AppendCtBlock(std::string& out, const Case& theCase, std::string_view folderName,
                   std::string_view lineEnd);

// The first text of the block that would not read back whole, named for the user; empty when
// every one fits.
std::string CtTextTooLong(const Case& theCase);
