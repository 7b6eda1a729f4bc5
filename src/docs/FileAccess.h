#pragma once

#include <string>
#include <string_view>

// Whole-file reading and safe replacement. Each returns 0 on success or the errno value that
// describes the failure (for strerror).

// Reads every byte of a regular file into `contents`.
int ReadWholeFile(const std::string& path, std::string& contents);

// Writes `contents` to a temporary file in the target's folder, flushes it to the disk and renames
// it over `path` only when everything was written. On any failure the temporary file is removed
// and whatever stood at `path` before is left untouched. A new file gets the usual permissions
// (0666 less the umask); a replaced one keeps its own.
int ReplaceFileContents(const std::string& path, std::string_view contents);
