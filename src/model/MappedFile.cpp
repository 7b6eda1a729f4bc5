#include "model/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace {

// Closes the descriptor when the mapping is made (the mapping keeps the file alive).
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }

private:
    int fd_;
};

bool ReadAll(int fd, std::string& text, std::size_t size) {
    text.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, text.data() + done, size - done);
        if (got <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace

std::optional<MappedFile> MappedFile::Open(const std::string& path) {
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    MappedFile file;
    file.size_ = static_cast<std::size_t>(info.st_size);
    if (file.size_ == 0) {
        return file;
    }
    // Populating the mapping at once costs far fewer page faults than touching it page by page.
    void* mapping = ::mmap(nullptr, file.size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd.get(), 0);
    if (mapping != MAP_FAILED) {
        file.mapping_ = mapping;
        return file;
    }
    if (!ReadAll(fd.get(), file.copy_, file.size_)) {
        return std::nullopt;
    }
    return file;
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : mapping_(std::exchange(other.mapping_, nullptr)), size_(std::exchange(other.size_, 0)),
      copy_(std::move(other.copy_)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        Release();
        mapping_ = std::exchange(other.mapping_, nullptr);
        size_ = std::exchange(other.size_, 0);
        copy_ = std::move(other.copy_);
    }
    return *this;
}

MappedFile::~MappedFile() {
    Release();
}

void MappedFile::Release() {
    if (mapping_) {
        ::munmap(mapping_, size_);
        mapping_ = nullptr;
    }
}

std::string_view MappedFile::Text() const {
    if (mapping_) {
        return {static_cast<const char*>(mapping_), size_};
    }
    return copy_;
}
