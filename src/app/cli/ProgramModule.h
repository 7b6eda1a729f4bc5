#pragma once

#include <ostream>

// Parts of the program that need large libraries (Qt for the desktop window and for the report)
// live in modules beside the executable, loaded only by the commands that use them, so that the
// other commands start without those libraries. This loads the module `moduleFile` from the
// executable's folder (once; it stays loaded) and returns its entry point `entryName`, or nullptr
// after writing one line on `err`, naming the `part` of the program, when the module or the entry
// is missing.
void* FindModuleEntry(const char* moduleFile, const char* entryName, const char* part,
                      std::ostream& err);
