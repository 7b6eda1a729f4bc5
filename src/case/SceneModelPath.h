#pragma once

#include <string>

// Where a case's scene model lies, as a data file names it. A case holds the path it reads the
// model from; its file names the model relative to the file's own folder when the model lies in
// or below that folder (so that a case moved or copied with its folder keeps its model), and by
// the whole path otherwise. A relative name is always taken from the case file's folder, never
// from the folder the program happens to run in.

// The path a model named `written` in the data file `caseFile` has: relative names from the
// file's folder, made whole and tidied ("a/./b/../room.obj" is "a/room.obj"). Without a case
// file (text read from memory) the name stays as written.
std::string SceneModelPathOfFile(const std::string& written, const std::string& caseFile);

// The name the data file `caseFile` gives the model at `held`: relative to the file's folder when
// the model lies in or below it, otherwise `held` as it is. Without a case file, `held`.
std::string SceneModelNameInFile(const std::string& held, const std::string& caseFile);
