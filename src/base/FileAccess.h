#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Whole-file reading (through RegularFile, which opens every file the program reads) and safe
// replacement. Each returns 0 on success or a code that describes the failure: an errno value, or
// one of the codes below. FileErrorText gives the reason in words.

// The path names something that is not a regular file (a folder, FIFO, device or socket).
inline constexpr int kFileNotRegular = 0x10001;
// The file to be replaced has no write permission: it stays as it is.
inline constexpr int kFileReadOnly = 0x10002;
// The file is larger than the reader accepts.
inline constexpr int kFileTooLarge = 0x10003;
// The file shrank or grew while it was read.
inline constexpr int kFileChangedWhileRead = 0x10004;
// Two of the files replaced together are one and the same file (through a link).
inline constexpr int kFilesShareTarget = 0x10005;

// The reason for a code of this file's functions, for example "Permission denied" or
// "not a regular file".
std::string FileErrorText(int error);

// Reads every byte of a regular file into `contents`. Anything else (a FIFO, a device, a folder) is
// refused without waiting for it; so is a file of more than `maxBytes`, and one that shrinks
// while it is read (kFileChangedWhileRead).
int ReadWholeFile(const std::string& path, std::string& contents,
                  std::size_t maxBytes = std::string::npos);

// 0 when `path` is a regular file this process can open for reading; otherwise EISDIR,
// kFileNotRegular or the errno of the failed open. Never waits for a FIFO's writer.
int CheckReadableFile(const std::string& path);

// Writes `contents` in place of the file at `path` without ever leaving it half-written:
// - a symbolic link is followed to the file it names, and the link stays;
// - the new contents go to a temporary file in the target's folder, are flushed to the disk and
//   renamed over the target only when everything was written; on any failure the temporary file
//   is removed and the target is left untouched;
// - a file with more than one hard link is rewritten in place once the temporary copy has shown
//   that the contents fit, so that every link sees the new contents;
// - a file without write permission is refused (kFileReadOnly), as is anything that is not a
//   regular file (kFileNotRegular);
// - a replaced file keeps its permissions (and, for root, its owner); a new file gets the usual
//   ones (0666 less the umask).
int ReplaceFileContents(const std::string& path, std::string_view contents);

// One file of an output made of several files.
struct FileReplacement {
    std::string path;
    std::string_view contents;
};

// Replaces several files as one output (a scene and its material library), all or none, each by
// the rules of ReplaceFileContents: every target is examined and every new contents written to
// its temporary file and flushed before the first rename; on any failure every temporary file is
// removed and every target left untouched. Two names that lead to the same file are refused
// (kFilesShareTarget). Returns 0, or the failure's code with `failed` (when given) set to the
// index of the file it concerns.
int ReplaceFilesTogether(const std::vector<FileReplacement>& files, std::size_t* failed = nullptr);

// The file that writing to `path` would change: `path` with its symbolic links followed (the last
// one may name a file that does not exist yet). Returns 0 or the errno of the failure (ELOOP for a
// cycle).
int ResolveWriteTarget(const std::string& path, std::string& target);
