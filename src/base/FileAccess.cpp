#include "base/FileAccess.h"

#include "base/RegularFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

// An open descriptor that is closed when it goes out of scope unless it was closed explicitly.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Reset(-1); }
    void Reset(int fd) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now; returns the errno of a failed close (a failed close can mean lost data).
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// The temporary file's name pattern for mkstemp: beside the target, so that the rename stays
// within one file system.
std::string TemporaryPattern(const std::string& path) {
    const std::filesystem::path target(path);
    if (target.filename().string().size() <= 200) {
        return path + ".tmp-XXXXXX";
    }
    // A name near the system's limit would be too long with the suffix.
    return (target.parent_path() / "ruvo-save.tmp-XXXXXX").string();
}

mode_t NewFilePermissions() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// No write bit at all, or (for anyone but root, who may write anyway) no write permission for
// this process: the user locked the file, and a save must not go around the lock by renaming.
bool IsReadOnly(const struct stat& info, const std::string& path) {
    if ((info.st_mode & 0222) == 0) {
        return true;
    }
    return ::geteuid() != 0 && ::access(path.c_str(), W_OK) != 0 && errno == EACCES;
}

int WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        contents.remove_prefix(static_cast<size_t>(written));
    }
    return 0;
}

// Makes the rename itself durable; a failure here loses nothing already written.
void SyncFolderOf(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) {
        ::fsync(directory.get());
    }
}

// The temporary file takes the replaced file's permissions (and, for root, its owner) before any
// byte is written, so the renamed file is never more open than the one it replaces.
int WriteTemporary(Descriptor& file, const struct stat* replaced, std::string_view contents) {
    const mode_t mode = replaced != nullptr ? (replaced->st_mode & 07777) : NewFilePermissions();
    if (::fchmod(file.get(), mode) != 0) {
        return errno;
    }
    if (replaced != nullptr && ::geteuid() == 0) {
        // Best effort: a file system without owners refuses, and the contents matter more.
        [[maybe_unused]] const int ignored =
            ::fchown(file.get(), replaced->st_uid, replaced->st_gid);
    }
    if (const int error = WriteAll(file.get(), contents)) {
        return error;
    }
    if (::fsync(file.get()) != 0) {
        return errno;
    }
    return file.Close();
}

int WriteAllAt(int fd, std::string_view contents) {
    off_t offset = 0;
    while (!contents.empty()) {
        const ssize_t written = ::pwrite(fd, contents.data(), contents.size(), offset);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        contents.remove_prefix(static_cast<size_t>(written));
        offset += written;
    }
    return 0;
}

// Rewrites a hard-linked file in place, so that every one of its names sees the new contents. The
// caller has already written the whole contents to a temporary file in the same folder and removed
// it again: the space it took is free for this write.
int RewriteInPlace(const std::string& target, const struct stat& expected,
                   std::string_view contents) {
    Descriptor file(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (file.get() < 0) {
        return errno;
    }
    struct stat opened {};
    if (::fstat(file.get(), &opened) != 0) {
        return errno;
    }
    if (!S_ISREG(opened.st_mode) || opened.st_ino != expected.st_ino ||
        opened.st_dev != expected.st_dev) {
        return kFileChangedWhileRead; // replaced by something else since it was examined
    }
    if (const int error = WriteAllAt(file.get(), contents)) {
        return error;
    }
    if (::ftruncate(file.get(), static_cast<off_t>(contents.size())) != 0 ||
        ::fsync(file.get()) != 0) {
        return errno;
    }
    return file.Close();
}

// What stands at `target` now: 0 with `exists` false when nothing does, kFileNotRegular or
// kFileReadOnly when it must not be replaced.
int ExamineTarget(const std::string& target, struct stat& info, bool& exists) {
    exists = ::stat(target.c_str(), &info) == 0;
    if (!exists) {
        return errno == ENOENT ? 0 : errno;
    }
    if (!S_ISREG(info.st_mode)) {
        return kFileNotRegular;
    }
    return IsReadOnly(info, target) ? kFileReadOnly : 0;
}

constexpr int kMaxLinksFollowed = 40;

// One file of a replacement on its way: where it goes, what stands there now, and the temporary
// file its new contents are written to (empty until made, and again once renamed or removed).
struct PendingReplacement {
    std::string target;
    struct stat existing {};
    bool exists = false;
    std::string temporary;
    bool HardLinked() const { return exists && existing.st_nlink > 1; }
};

int PrepareTarget(const std::string& path, PendingReplacement& pending) {
    if (const int error = ResolveWriteTarget(path, pending.target)) {
        return error;
    }
    return ExamineTarget(pending.target, pending.existing, pending.exists);
}

// The place a target names, however it is spelt (relative or absolute, through a linked folder):
// a file that does not exist yet has no inode to compare.
std::filesystem::path PlaceOf(const std::string& target) {
    std::error_code error;
    std::filesystem::path place = std::filesystem::weakly_canonical(target, error);
    return error ? std::filesystem::path(target).lexically_normal() : place;
}

// Two names of one file: the same place once links are followed, or the same file on the disk
// (hard links).
bool SameFile(const PendingReplacement& a, const PendingReplacement& b) {
    if (PlaceOf(a.target) == PlaceOf(b.target)) {
        return true;
    }
    return a.exists && b.exists && a.existing.st_dev == b.existing.st_dev &&
           a.existing.st_ino == b.existing.st_ino;
}

int WritePending(PendingReplacement& pending, std::string_view contents) {
    std::string name = TemporaryPattern(pending.target);
    Descriptor file(::mkstemp(name.data()));
    if (file.get() < 0) {
        return errno;
    }
    pending.temporary = std::move(name);
    return WriteTemporary(file, pending.exists ? &pending.existing : nullptr, contents);
}

int RenameOverTarget(PendingReplacement& pending) {
    if (std::rename(pending.temporary.c_str(), pending.target.c_str()) != 0) {
        return errno;
    }
    pending.temporary.clear();
    SyncFolderOf(pending.target);
    return 0;
}

void RemoveTemporaries(std::vector<PendingReplacement>& pending) {
    for (PendingReplacement& file : pending) {
        if (!file.temporary.empty()) {
            ::unlink(file.temporary.c_str());
            file.temporary.clear();
        }
    }
}

} // namespace

std::string FileErrorText(int error) {
    switch (error) {
    case kFileNotRegular:
        return "not a regular file";
    case kFileReadOnly:
        return "the file is read-only";
    case kFileTooLarge:
        return "the file is too large";
    case kFileChangedWhileRead:
        return "the file changed while it was read";
    case kFilesShareTarget:
        return "two of its files would be one and the same file";
    default:
        return std::generic_category().message(error);
    }
}

int ResolveWriteTarget(const std::string& path, std::string& target) {
    std::filesystem::path current(path);
    for (int followed = 0; followed <= kMaxLinksFollowed; ++followed) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            if (errno != ENOENT) {
                return errno;
            }
            break; // a new file, possibly named by a dangling link
        }
        if (!S_ISLNK(info.st_mode)) {
            break;
        }
        std::error_code error;
        const std::filesystem::path link = std::filesystem::read_symlink(current, error);
        if (error) {
            return error.value();
        }
        current = link.is_absolute() ? link : current.parent_path() / link;
        if (followed == kMaxLinksFollowed) {
            return ELOOP;
        }
    }
    target = current.string();
    return 0;
}

int CheckReadableFile(const std::string& path) {
    int error = 0;
    RegularFile::Open(path, &error);
    return error;
}

int ReadWholeFile(const std::string& path, std::string& contents, std::size_t maxBytes) {
    int error = 0;
    const std::optional<RegularFile> file = RegularFile::Open(path, &error);
    if (!file) {
        return error;
    }
    if (file->Size() > maxBytes) {
        return kFileTooLarge;
    }
    std::optional<std::string> whole = file->ReadWhole();
    if (!whole) {
        contents.clear();
        return kFileChangedWhileRead;
    }
    contents = std::move(*whole);
    return 0;
}

int ReplaceFileContents(const std::string& path, std::string_view contents) {
    return ReplaceFilesTogether({{path, contents}});
}

int ReplaceFilesTogether(const std::vector<FileReplacement>& files, std::size_t* failed) {
    std::vector<PendingReplacement> pending(files.size());
    const auto fail = [&pending, failed](std::size_t index, int error) {
        RemoveTemporaries(pending);
        if (failed != nullptr) {
            *failed = index;
        }
        return error;
    };
    // Nothing is written before every target is known to be replaceable.
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (const int error = PrepareTarget(files[i].path, pending[i])) {
            return fail(i, error);
        }
        for (std::size_t earlier = 0; earlier < i; ++earlier) {
            if (SameFile(pending[earlier], pending[i])) {
                return fail(i, kFilesShareTarget);
            }
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (const int error = WritePending(pending[i], files[i].contents)) {
            return fail(i, error);
        }
    }
    // Every new contents is on the disk. The renames come first: they cannot run out of space.
    // A hard-linked file is rewritten in place last, once its own temporary copy is gone.
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!pending[i].HardLinked()) {
            if (const int error = RenameOverTarget(pending[i])) {
                return fail(i, error);
            }
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (pending[i].HardLinked()) {
            ::unlink(pending[i].temporary.c_str());
            pending[i].temporary.clear();
            if (const int error =
                    RewriteInPlace(pending[i].target, pending[i].existing, files[i].contents)) {
                return fail(i, error);
            }
        }
    }
    return 0;
}
