#pragma once

#include <string>

// Parts of the program that need large libraries (Qt for the desktop window and for the report,
// Assimp for glTF and OFF models) live in modules, loaded only when they are used, so that the
// other commands start without those libraries. This loads the module `moduleFile` (once; it stays
// loaded) and returns its entry point `entryName`, or nullptr with one line in `error` naming the
// `part` of the program when the module or the entry is missing. A module is looked for beside the
// executable, else in the folder the build wrote it to.
void* LoadModuleEntry(const char* moduleFile, const char* entryName, const char* part,
                      std::string& error);
