#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <sys/types.h>

// A regular file opened for reading: every file the program reads is opened through this class.
// Opening never blocks and refuses anything that is not a regular file (a FIFO, a device, a
// folder), so that a named pipe cannot hang the program and an endless device cannot exhaust its
// memory. Reads go through pread(), never a memory mapping, so a file that shrinks while it is
// read gives a short read instead of a fatal signal.
class RegularFile {
public:
    // Nothing when the file cannot be opened or is not a regular file; then `error`, when given,
    // holds why: the errno of the failed open, EISDIR for a folder, or kFileNotRegular
    // (FileAccess.h, whose FileErrorText words every code).
    static std::optional<RegularFile> Open(const std::string& path, int* error = nullptr);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    // The size when the file was opened.
    std::size_t Size() const { return size_; }

    // Reads exactly `length` bytes at `offset` into `target`; false when the file no longer
    // holds them (it shrank) or the system refuses the read. Safe from several threads at once.
    bool ReadAt(std::size_t offset, std::size_t length, char* target) const;

    // The whole file as it was opened; nothing when it changed size or could not be read.
    std::optional<std::string> ReadWhole() const;

    // True while the file has the size, modification time and status change time it had when it
    // was opened. The status change time cannot be set back (a tool that restores the
    // modification time after writing in place still moves it), so an unchanged file holds the
    // bytes it held when it was opened.
    bool Unchanged() const;

private:
    explicit RegularFile(int descriptor) : descriptor_(descriptor) {}

    int descriptor_ = -1;
    std::size_t size_ = 0;
    struct FileTime {
        long long seconds = 0;
        long nanoseconds = 0;
        bool operator==(const FileTime&) const = default;
    };
    FileTime modified_;
    FileTime changed_;
};
