#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The whole content of a file, mapped into memory read-only (or read into a string when the file
// cannot be mapped). Unmapped when destroyed.
class MappedFile {
public:
    // Nothing when the file cannot be opened or is not a regular file.
    static std::optional<MappedFile> Open(const std::string& path);

    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    std::string_view Text() const;

private:
    MappedFile() = default;
    void Release();

    void* mapping_ = nullptr;
    std::size_t size_ = 0;
    std::string copy_;
};
