#include "base/RegularFile.h"

#include "base/FileAccess.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

std::optional<RegularFile> RegularFile::Open(const std::string& path, int* error) {
    const auto refuse = [error](int code) {
        if (error != nullptr) {
            *error = code;
        }
        return std::nullopt;
    };
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        return refuse(errno);
    }
    RegularFile file(descriptor);
    struct stat info {};
    if (::fstat(descriptor, &info) != 0) {
        return refuse(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return refuse(EISDIR);
    }
    if (!S_ISREG(info.st_mode) || info.st_size < 0) {
        return refuse(kFileNotRegular);
    }
    // A regular file reads the same either way; blocking reads keep the loop below simple.
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return refuse(errno);
    }
    if (error != nullptr) {
        *error = 0;
    }
    file.size_ = static_cast<std::size_t>(info.st_size);
    file.modified_ = {info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
    file.changed_ = {info.st_ctim.tv_sec, info.st_ctim.tv_nsec};
    return file;
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)), size_(other.size_),
      modified_(other.modified_), changed_(other.changed_) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
    if (this != &other) {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
        descriptor_ = std::exchange(other.descriptor_, -1);
        size_ = other.size_;
        modified_ = other.modified_;
        changed_ = other.changed_;
    }
    return *this;
}

RegularFile::~RegularFile() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

bool RegularFile::ReadAt(std::size_t offset, std::size_t length, char* target) const {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got =
            ::pread(descriptor_, target + done, length - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

std::optional<std::string> RegularFile::ReadWhole() const {
    std::string text(size_, '\0');
    if (!ReadAt(0, size_, text.data())) {
        return std::nullopt;
    }
    return text;
}

bool RegularFile::Unchanged() const {
    struct stat info {};
    return ::fstat(descriptor_, &info) == 0 && static_cast<std::size_t>(info.st_size) == size_ &&
           modified_ == FileTime{info.st_mtim.tv_sec, info.st_mtim.tv_nsec} &&
           changed_ == FileTime{info.st_ctim.tv_sec, info.st_ctim.tv_nsec};
}
