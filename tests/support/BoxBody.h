#pragma once

#include "case/Case.h"
#include "mesh/io/obj/ObjReader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

// A box 0.5 m wide, 2 units tall and 0.3 deep standing on y = 0: loaded as a body it is 2.0 m tall.
inline constexpr const char* kBoxObj = "v -0.25 0 0\nv 0.25 0 0\nv 0.25 2 0\nv -0.25 2 0\n"
                                       "v -0.25 0 0.3\nv 0.25 0 0.3\nv 0.25 2 0.3\nv -0.25 2 0.3\n"
                                       "f 1 2 3\nf 1 3 4\nf 5 7 6\nf 5 8 7\nf 1 5 6\nf 1 6 2\n"
                                       "f 4 3 7\nf 4 7 8\nf 1 4 8\nf 1 8 5\nf 2 6 7\nf 2 7 3\n";

// Gives the case's body the box mesh above.
inline void LoadBoxBody(Case& theCase) {
    ObjReadResult read = ReadObjFromMemory(
        kBoxObj, "box.obj", [](const std::string&) { return std::optional<std::string>(); });
    ASSERT_TRUE(read.mesh) << read.error;
    const Status loaded = theCase.body.LoadMesh(std::move(read.mesh));
    ASSERT_TRUE(loaded.ok()) << loaded.message();
}

// A whole file's bytes, and writing them (no line-end translation).
inline std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "ruvo-docs-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};
