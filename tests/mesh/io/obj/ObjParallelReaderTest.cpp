#include "support/MeshComparison.h"
#include "support/ObjTestText.h"
#include "support/RecordedDiagnostics.h"

#include "ReferenceObjReader.h"
#include "base/RegularFile.h"
#include "mesh/io/obj/ObjParallelReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const std::map<std::string, std::string> kLibraries = {
    {"dir/m.mtl", "newmtl skin\nKd 1 0.8 0.6\nnewmtl bone\nKd 1 1 1\nnewmtl lead\n"}};

MtlTextSource Libraries() {
    return [](const std::string& name) -> std::optional<std::string> {
        const auto found = kLibraries.find(name);
        return found == kLibraries.end() ? std::nullopt : std::optional(found->second);
    };
}

// A model that uses every statement the reader knows, in shuffled order: faces of every corner
// form and length, now and then with corners of mixed forms, negative and signed indices, tabs
// and faces continued on the next line; groups that come back, unknown materials, comments and
// blank lines.
std::string GeneratedModel(unsigned seed, int statements, const char* lineEnd) {
    std::mt19937 random(seed);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char* materials[] = {"skin", "bone", "lead", "missing", "skin second"};
    std::string text = std::string("# generated") + lineEnd + "mtllib m.mtl" + lineEnd;
    int vertices = 0, texCoords = 0, normals = 0;
    for (int i = 0; i < statements; ++i) {
        const int kind = pick(12);
        if (kind < 3 || vertices < 3) {
            text += "v " + std::to_string(pick(2000) / 7.0) + " " + std::to_string(-pick(99)) +
                    " " + std::to_string(pick(5) * 0.125) + lineEnd;
            ++vertices;
        } else if (kind == 3) {
            text += "vt 0." + std::to_string(pick(1000)) + " 1" + lineEnd;
            ++texCoords;
        } else if (kind == 4) {
            text += "vn 0 " + std::to_string(pick(3) - 1) + " 1" + lineEnd;
            ++normals;
        } else if (kind == 5) {
            text += std::string("usemtl ") + materials[pick(5)] + lineEnd;
        } else if (kind == 6) {
            text += std::string(pick(2) ? "# note" : "g part\t s 1") + lineEnd + lineEnd;
        } else {
            const int form = texCoords && normals ? pick(4) : normals ? 2 * pick(2) : 0;
            const int corners = 1 + pick(6);
            text += "f";
            for (int c = 0; c < corners; ++c) {
                const auto index = [&](int count) {
                    return pick(3) == 0    ? std::to_string(-(1 + pick(count)))
                           : pick(25) == 0 ? "+" + std::to_string(1 + pick(count))
                                           : std::to_string(1 + pick(count));
                };
                // Now and then a later corner of another form than the first one's.
                const int cornerForm =
                    c > 0 && texCoords && normals && pick(20) == 0 ? pick(4) : form;
                text += c == 4 && pick(2) ? std::string(lineEnd) + " "
                                          : std::string(pick(15) == 0 ? "\t" : " ");
                text += index(vertices);
                if (cornerForm == 1 || cornerForm == 3) {
                    text += "/" + index(texCoords);
                }
                if (cornerForm == 2) {
                    text += "//" + index(normals);
                }
                if (cornerForm == 3) {
                    text += "/" + index(normals);
                }
            }
            text += lineEnd;
        }
    }
    return text;
}

ObjReadResult Parallel(const std::string& text, unsigned stretches) {
    ObjParallelOptions options;
    options.stretches = stretches;
    return ReadObjInParallel(ObjSource(text), "dir/model.obj", Libraries(), nullptr, options);
}

// The warnings a reading reports (one for each usemtl naming a material the library lacks).
template <typename Reading> std::vector<std::string> WarningsOf(const Reading& reading) {
    const RecordedDiagnostics recorded;
    reading();
    return recorded.Texts();
}

std::filesystem::path ParallelTestFolder() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("ruvo-parallel-reader-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder;
}

} // namespace

TEST(ObjParallelReader, EveryStretchCountAndWindowGivesTheSequentialMesh) {
    const std::filesystem::path folder = ParallelTestFolder();
    for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
        for (unsigned seed = 1; seed <= 6; ++seed) {
            const std::string text = GeneratedModel(seed, 3000, lineEnd);
            ObjReadResult reference;
            const std::vector<std::string> warnings = WarningsOf(
                [&] { reference = ReadObjReference(text, "dir/model.obj", Libraries()); });
            ASSERT_TRUE(reference.mesh) << reference.error;
            for (unsigned stretches : {1u, 2u, 3u, 7u, 64u}) {
                ObjReadResult parallel;
                // The same warnings, in text order, however the text is split.
                EXPECT_EQ(WarningsOf([&] { parallel = Parallel(text, stretches); }), warnings);
                ASSERT_TRUE(parallel.mesh) << parallel.error;
                ExpectSameMesh(*parallel.mesh, *reference.mesh);
            }
            // From a file, in windows far smaller than the text, and in more stretches than a
            // machine has cores: each thread reads several through one buffer.
            const std::filesystem::path file = folder / "model.obj";
            std::ofstream(file, std::ios::binary) << text;
            std::optional<RegularFile> opened = RegularFile::Open(file.string());
            ASSERT_TRUE(opened);
            ObjParallelOptions options;
            options.stretches = 9;
            options.windowBytes = 100;
            const ObjReadResult windowed = ReadObjInParallel(
                ObjSource(std::move(*opened)), "dir/model.obj", Libraries(), nullptr, options);
            ASSERT_TRUE(windowed.mesh) << windowed.error;
            ExpectSameMesh(*windowed.mesh, *reference.mesh);
        }
    }
    std::filesystem::remove_all(folder);
}

// Most exporters write every coordinate ahead of the faces; a few write them behind. Stretches
// without faces are read while the triangles' array is still being made, those with faces wait
// for it: either way the mesh is the one a single stretch gives.
TEST(ObjParallelReader, CoordinatesAheadOfOrBehindTheFacesReadAsInOneStretch) {
    std::string coordinates, faces;
    for (int i = 1; i <= 4000; ++i) {
        const std::string n = std::to_string(i);
        coordinates += "v " + n + ".5 -" + n + " 0.25\nvt 0." + n + " 1\nvn 0 0 1\n";
        if (i + 2 <= 4000) {
            const std::string a = n + "/" + n + "/" + n;
            const std::string b = std::to_string(i + 1), c = std::to_string(i + 2);
            faces += "f " + a + " " + b + "/" + b + "/" + b + " " + c + "/" + c + "/" + c + "\n";
        }
    }
    for (const std::string& text : {coordinates + faces, "g back\n" + faces + coordinates}) {
        const ObjReadResult reference = ReadObjReference(text, "dir/model.obj", Libraries());
        ASSERT_TRUE(reference.mesh) << reference.error;
        for (unsigned stretches : {2u, 5u, 64u}) {
            const ObjReadResult parallel = Parallel(text, stretches);
            ASSERT_TRUE(parallel.mesh) << parallel.error;
            ExpectSameMesh(*parallel.mesh, *reference.mesh);
        }
    }
}

TEST(ObjParallelReader, RefusalsAndWarningsAreTheSequentialOnes) {
    const std::string body = GeneratedModel(9, 2000, "\n");
    const std::string faulty[] = {
        body + "f 1 2 99999\n" + body,             // an index beyond the count, late in the text
        body + "f 3 0 1\n" + body,                 // index 0, which names nothing
        body + "f 1/1/1 2/1/1 3/1/99999\n" + body, // a normal beyond the count
        "f -1 1 1\n" + body,                       // a relative index before any vertex
        body + "vp 1 2\n" + body + "mtllib none.mtl\n", // the unknown statement comes first
        body + "mtllib none.mtl\n" + body + "vp 1 2\n", // the library comes first
    };
    for (const std::string& text : faulty) {
        ObjReadResult reference;
        const std::vector<std::string> warnings =
            WarningsOf([&] { reference = ReadObjReference(text, "dir/model.obj", Libraries()); });
        ASSERT_FALSE(reference.mesh);
        for (unsigned stretches : {2u, 5u}) {
            testing::internal::CaptureStdout();
            testing::internal::CaptureStderr();
            ObjReadResult parallel;
            EXPECT_EQ(WarningsOf([&] { parallel = Parallel(text, stretches); }), warnings);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
            EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
            EXPECT_FALSE(parallel.mesh);
            EXPECT_EQ(parallel.error, reference.error);
        }
    }
}
