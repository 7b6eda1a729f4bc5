#include "docs/FileAccess.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// An open descriptor that is closed when it goes out of scope unless it was closed explicitly.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
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

mode_t PermissionsFor(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        return existing.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
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

int WriteTemporary(Descriptor& file, const std::string& target, std::string_view contents) {
    if (::fchmod(file.get(), PermissionsFor(target)) != 0) {
        return errno;
    }
    if (const int error = WriteAll(file.get(), contents)) {
        return error;
    }
    if (::fsync(file.get()) != 0) {
        return errno;
    }
    return file.Close();
}

} // namespace

int ReadWholeFile(const std::string& path, std::string& contents) {
    const FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return errno;
    }
    struct stat info {};
    if (::fstat(::fileno(file.get()), &info) != 0) {
        return errno;
    }
    if (S_ISDIR(info.st_mode)) {
        return EISDIR;
    }
    contents.clear();
    std::vector<char> chunk(1 << 16);
    size_t count = 0;
    while ((count = std::fread(chunk.data(), 1, chunk.size(), file.get())) > 0) {
        contents.append(chunk.data(), count);
    }
    return std::ferror(file.get()) ? (errno != 0 ? errno : EIO) : 0;
}

int ReplaceFileContents(const std::string& path, std::string_view contents) {
    std::string temporary = TemporaryPattern(path);
    Descriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0) {
        return errno;
    }
    int error = WriteTemporary(file, path, contents);
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    SyncFolderOf(path);
    return 0;
}
