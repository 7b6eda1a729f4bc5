#pragma once

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

// Small Wavefront files written for a test into its temporary folder.
namespace testobj {

// The files named by TempPath, removed when the test process ends.
class WrittenFiles {
public:
    WrittenFiles() = default;
    WrittenFiles(const WrittenFiles&) = delete;
    WrittenFiles& operator=(const WrittenFiles&) = delete;
    ~WrittenFiles() {
        for (const std::string& path : paths_) {
            std::remove(path.c_str());
        }
    }
    void Add(const std::string& path) { paths_.insert(path); }

private:
    std::set<std::string> paths_;
};

inline WrittenFiles& Written() {
    static WrittenFiles files;
    return files;
}

// A path of this test process's own: the tests run as parallel processes sharing one folder, and
// a shared name let one process truncate the file another was reading.
inline std::string TempPath(const std::string& name) {
    std::string path = testing::TempDir() + "ruvo-" + std::to_string(::getpid()) + "-" + name;
    Written().Add(path);
    return path;
}

inline std::string Write(const std::string& name, const std::string& text) {
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// A closed box spanning x from -0.3 to 0.3, y from 0 to 1.8 and z from 0 to 0.4.
inline std::string Box() {
    return "v -0.3 0 0\nv 0.3 0 0\nv 0.3 1.8 0\nv -0.3 1.8 0\n"
           "v -0.3 0 0.4\nv 0.3 0 0.4\nv 0.3 1.8 0.4\nv -0.3 1.8 0.4\n"
           "f 1 3 2\nf 1 4 3\nf 5 6 7\nf 5 7 8\nf 1 2 6\nf 1 6 5\n"
           "f 4 8 7\nf 4 7 3\nf 1 5 8\nf 1 8 4\nf 2 3 7\nf 2 7 6\n";
}

} // namespace testobj
