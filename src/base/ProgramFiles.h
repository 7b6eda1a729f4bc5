#pragma once

#include <string>
#include <vector>

// Where the program finds a file it comes with (its default models, its manual), given as a path
// relative to the folder it was started from ("./data/default/man1.obj", "doc/index.html"): that
// path when the file is there, as it is in the project folder; else the same file where the
// program was installed (cmake --install), when it is there; else the relative path, so that a
// message about the missing file names it as it has always been named.
std::string ProgramFile(const std::string& relativePath);

// The same below `startFolder` instead of the current folder.
std::string ProgramFile(const std::string& startFolder, const std::string& relativePath);

// Where the program finds the models it starts with, relative to the folder it was started from.
struct DefaultModelFiles {
    std::string body = "./data/default/man1.obj";
    std::string arrow = "./data/default/Arrow1.obj";
    std::string halfArrow = "./data/default/HalfArrow1.obj";

    // The same files below the start folder, or else where the program was installed.
    static DefaultModelFiles Located();
};

// Where a file built with the program (a module it loads, the program it hands a command to) may
// be, in the order to try: beside the running program (the build folder, or a folder it was copied
// to with it), then the paths `elsewhere` in their order.
std::vector<std::string> CompanionFileCandidates(const std::string& fileName,
                                                 const std::vector<std::string>& elsewhere);
