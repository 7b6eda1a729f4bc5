#include "CtPhantom.h"
#include "base/Sha256.h"
#include "support/BoxBody.h"
#include "support/InProcessCommand.h"
#include "support/RenderTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

// The phantom (a cylinder 100 mm wide and 140 mm long about LPS (0, 0, -300)) in `folder`.
class CtCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        series = folder.path() / "case" / "scan";
        ASSERT_TRUE(WriteCtPhantom(series, phantom).ok());
    }

    std::string Series() const { return series.string(); }

    std::string WriteCase(const std::string& ctBlock) const {
        const std::string path = folder.File("case/case.txt");
        std::ofstream(path, std::ios::binary)
            << "<root>\r\n<body>\r\n   <name>decedent</name>\r\n   <height>1.8</height>\r\n"
               "</body>\r\n<trajectory>\r\n  <x1>0.01</x1>\r\n  <y1>0.07</y1>\r\n  "
               "<z1>0.09</z1>\r\n  <x2>0.01</x2>\r\n  <y2>0.07</y2>\r\n  <z2>0.01</z2>\r\n"
               "</trajectory>\r\n"
            << ctBlock << "</root>\r\n";
        return path;
    }

    TemporaryFolder folder;
    CtPhantomOptions phantom;
    std::filesystem::path series;
};

std::vector<std::string> KeysOf(const std::string& text) {
    std::vector<std::string> keys;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        keys.push_back(line.substr(0, line.find(':')));
    }
    return keys;
}

std::string ValueOf(const std::string& text, const std::string& key) {
    const std::size_t at = text.find(key + ": ");
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t start = at + key.size() + 2;
    return text.substr(start, text.find('\n', start) - start);
}

std::array<double, 3> PointOf(const std::string& text) {
    std::istringstream words(text);
    std::array<double, 3> point{};
    words >> point[0] >> point[1] >> point[2];
    return point;
}

} // namespace

// The facts come one "key: value" a line, in a fixed order, and say what the series holds; the
// hash is that of the files in the byte order of their names.
TEST_F(CtCommandsTest, CtInfoPrintsTheSeriesFactsOneKeyALine) {
    const InProcessRun run = RunInProcess({"--ct-info", Series()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(KeysOf(run.out),
              (std::vector<std::string>{"series", "description", "date", "voxels", "spacing",
                                        "slice thickness", "hu range", "skin threshold",
                                        "bone threshold", "body length", "skin triangles",
                                        "bone triangles", "sha256", "metal threshold", "metal"}));
    EXPECT_EQ(ValueOf(run.out, "series"), phantom.seriesUid);
    EXPECT_EQ(ValueOf(run.out, "description"), phantom.description);
    EXPECT_EQ(ValueOf(run.out, "voxels"), "64 x 64 x 80");
    EXPECT_EQ(ValueOf(run.out, "spacing"), "2.0000 2.0000 2.0000 mm");
    EXPECT_EQ(ValueOf(run.out, "hu range"), "-1000 3000");
    EXPECT_EQ(ValueOf(run.out, "skin threshold"), "-500 HU");
    // The cylinder is 140 mm long; the skin found within a voxel of it.
    EXPECT_NEAR(std::stod(ValueOf(run.out, "body length")), 14.0, 0.2);
    EXPECT_GT(std::stoi(ValueOf(run.out, "skin triangles")), 0);
    EXPECT_GT(std::stoi(ValueOf(run.out, "bone triangles")), 0);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(series)) {
        names.push_back(entry.path().string());
    }
    std::sort(names.begin(), names.end());
    std::string bytes;
    for (const std::string& name : names) {
        std::ifstream in(name, std::ios::binary);
        bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_EQ(ValueOf(run.out, "sha256"), Sha256Hex(bytes));
    // The one metal object, the bead, where --ct-point puts its centre.
    EXPECT_EQ(ValueOf(run.out, "metal threshold"), "2500 HU");
    const std::string metal = ValueOf(run.out, "metal");
    ASSERT_EQ(metal.rfind("1 ", 0), 0u) << metal;
    const std::array<double, 3> bead = PointOf(metal.substr(2));
    EXPECT_NEAR(bead[0], 1.4, 0.1);
    EXPECT_NEAR(bead[1], 9.0, 0.1);
    EXPECT_NEAR(bead[2], 7.0, 0.1);
    EXPECT_NE(metal.find(" cm, volume "), std::string::npos) << metal;
    EXPECT_NE(metal.find(" mm3, extent "), std::string::npos) << metal;
    EXPECT_NE(metal.find(" mm, peak 3000 HU"), std::string::npos) << metal;

    // A series the folder does not hold, or no series at all: one line, no facts.
    const InProcessRun other = RunInProcess({"--ct-info", Series(), "--series", "1.2.3"});
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.out, "");
    EXPECT_EQ(std::count(other.err.begin(), other.err.end(), '\n'), 1) << other.err;
    EXPECT_TRUE(other.err.starts_with("ruvo: Cannot read the CT series in")) << other.err;
    EXPECT_EQ(RunInProcess({"--ct-info", Series(), "--series", "1.2.x"}).status, 2);
}

// Known points of the phantom land where the body frame puts them (y from the soles, z from the
// back, x from the middle), within half a voxel (1 mm).
TEST_F(CtCommandsTest, CtPointPutsPatientPointsInTheBodyFrame) {
    const auto point = [this](const std::string& lps) {
        const InProcessRun run = RunInProcess({"--ct-point", Series(), "--lps", lps});
        EXPECT_EQ(run.status, 0) << run.err;
        return PointOf(run.out);
    };
    // The cylinder's middle: 7 cm above its lower end, 5 cm in front of its back.
    const std::array<double, 3> middle = point("0,0,-300");
    EXPECT_NEAR(middle[0], 0.0, 0.1);
    EXPECT_NEAR(middle[1], 7.0, 0.1);
    EXPECT_NEAR(middle[2], 5.0, 0.1);
    // The metal bead: left of the middle (+x), toward the head (+z in LPS), toward the front
    // (-y in LPS).
    const std::array<double, 3> bead = point("14,-20,-280");
    EXPECT_NEAR(bead[0], 1.4, 0.1);
    EXPECT_NEAR(bead[1], 9.0, 0.1);
    EXPECT_NEAR(bead[2], 7.0, 0.1);
    const InProcessRun printed = RunInProcess({"--ct-point", Series(), "--lps", "14,-20,-280"});
    EXPECT_EQ(std::count(printed.out.begin(), printed.out.end(), '.'), 3) << printed.out;

    // The soles' middle: nothing rounds to "-0.000".
    const InProcessRun sole = RunInProcess({"--ct-point", Series(), "--lps", "-0.0001,50,-370"});
    EXPECT_EQ(sole.out.find("-0.000"), std::string::npos) << sole.out;
    const InProcessRun outside = RunInProcess({"--ct-point", Series(), "--lps", "0,0,500"});
    EXPECT_EQ(outside.status, 0);
    EXPECT_NE(outside.err.find("outside the scanned volume"), std::string::npos);
    EXPECT_EQ(RunInProcess({"--ct-point", Series()}).status, 2);
    EXPECT_EQ(RunInProcess({"--ct-point", Series(), "--lps", "1,2"}).status, 2);
    EXPECT_EQ(RunInProcess({"--ct-point", Series(), "--lps", "1,2,3,4"}).status, 2);
}

// A case whose body is a CT series runs on the scan: --rewrite keeps the block (the folder named
// from the new file's folder), and a series that cannot be read fails the command in one line
// rather than running it on the body model.
TEST_F(CtCommandsTest, ACaseWithACtBodyRunsOnTheScanOrNotAtAll) {
    const std::string caseFile = WriteCase("<ct>\r\n  <folder>scan</folder>\r\n</ct>\r\n");
    const InProcessRun summary = RunInProcess({"--summary", caseFile});
    EXPECT_EQ(summary.status, 0) << summary.err;
    EXPECT_EQ(summary.err, "");

    const std::string rewritten = folder.File("rewritten.txt");
    const InProcessRun rewrite = RunInProcess({"--rewrite", caseFile, rewritten});
    ASSERT_EQ(rewrite.status, 0) << rewrite.err;
    std::ifstream in(rewritten, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_NE(text.find("<ct>\r\n  <folder>case/scan</folder>\r\n  <series>" + phantom.seriesUid +
                        "</series>\r\n</ct>\r\n"),
              std::string::npos)
        << text;
    // The body's height is the scan's length.
    const std::size_t height = text.find("<height>");
    ASSERT_NE(height, std::string::npos);
    EXPECT_NEAR(std::stod(text.substr(height + 8, 6)), 0.14, 0.002) << text;

    const std::string missing = WriteCase("<ct>\r\n  <folder>gone</folder>\r\n</ct>\r\n");
    for (const char* command : {"--summary", "--origin"}) {
        const InProcessRun run = RunInProcess({command, missing});
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_EQ(run.out, "") << command;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find("gone"), std::string::npos) << run.err;
    }
}

// GDCM fills its dictionaries as soon as it is loaded, which once took most of every start of the
// program: the program loads its DICOM module, and GDCM with it, only to read a series, and then
// finds the module beside itself.
TEST_F(CtCommandsTest, TheProgramLoadsGdcmOnlyToReadASeries) {
    // The dynamic loader lists what a start loads, without running the program.
    const std::string loaded = LoadedLibraries(RUVO_BINARY);
    EXPECT_NE(loaded.find("libc.so"), std::string::npos) << loaded;
    EXPECT_EQ(loaded.find("gdcm"), std::string::npos) << loaded;

    std::string errors;
    EXPECT_EQ(RunRuvo(folder.path(), "--ct-info '" + Series() + "' >/dev/null", errors), 0)
        << errors;
    EXPECT_EQ(errors, "");
}
