#include "body/LandmarkTable.h"
#include "body/Body.h"
#include "body/BodyPointDescription.h"
#include "support/TestObjFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

LandmarkTable Parsed(const std::string& text) {
    LandmarkTable table;
    const Status status = LandmarkTable::Parse(text, table);
    EXPECT_TRUE(status.ok()) << status.message();
    return table;
}

// The two nipples and the navel of a 2 m body.
LandmarkTable Torso() {
    return Parsed("left nipple 0.1009 1.4561 0.2512\nright nipple -0.1009 1.4561 0.2512\n"
                  "umbilicus 0 1.2011 0.2224\n");
}

} // namespace

TEST(LandmarkTableTest, ReadsNamesOfSeveralWordsAndSkipsCommentsAndBlankLines) {
    const LandmarkTable table = Parsed("# a comment 1 2 3\n\n  anterior  superior\tiliac spine "
                                       "-0.11 1.085 0.2141\r\nchin 0 1.7407 2.6e-1\n   \n");
    ASSERT_EQ(table.GetLandmarks().size(), 2u);
    EXPECT_EQ(table.GetLandmarks()[0].name, "anterior superior iliac spine");
    EXPECT_DOUBLE_EQ(table.GetLandmarks()[0].position.x, -0.11);
    EXPECT_DOUBLE_EQ(table.GetLandmarks()[0].position.z, 0.2141);
    EXPECT_DOUBLE_EQ(table.GetLandmarks()[1].position.z, 0.26);
}

TEST(LandmarkTableTest, MalformedLineIsNamedAndTheTableIsKept) {
    struct Malformed {
        const char* text;
        const char* message;
    };
    for (const Malformed& c : {
             Malformed{"chin 0 1.7\n",
                       "Landmark table line 1: expected a name followed by x, y and "
                       "z in metres"},
             Malformed{"# x\nchin 0 1.7 0.2\nnose 0 1,8 0.3\n",
                       "Landmark table line 3: \"1,8\" is not a number"},
             Malformed{"nose 0 1.8 0.3cm\n", "Landmark table line 1: \"0.3cm\" is not a number"},
             Malformed{"nose 0 nan 0.3\n", "Landmark table line 1: \"nan\" is not a number"},
             // Finite, but infinite once scaled with the body.
             Malformed{"nose 0 1e308 0.3\n", "Landmark table line 1: \"1e308\" is not a length on "
                                             "a body (at most 1000000 m either way)"},
             Malformed{"0 1.8 0.3\n", "Landmark table line 1: expected a name followed by x, y and "
                                      "z in metres"},
         }) {
        LandmarkTable table = Torso();
        const Status status = LandmarkTable::Parse(c.text, table);
        EXPECT_FALSE(status.ok());
        EXPECT_EQ(status.message(), c.message);
        EXPECT_EQ(table.GetLandmarks().size(), 3u) << "a failed read keeps the table";
    }
}

// The file API's own codes used to be put into words by strerror: "Unknown error 65537".
TEST(LandmarkTableTest, ATableThatIsNotARegularFileIsRefusedInWords) {
    const std::string fifo = testing::TempDir() + "ruvo-landmarks-" + std::to_string(::getpid());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    LandmarkTable table;
    const Status loaded = LandmarkTable::Load(fifo, table);
    ::unlink(fifo.c_str());
    EXPECT_EQ(loaded.message(),
              "Cannot read the landmark table \"" + fifo + "\": not a regular file");
}

TEST(LandmarkTableTest, FileBesideTheModelFollowsTheBodyAndItsScales) {
    EXPECT_EQ(LandmarkTable::PathBesideModel("./data/default/man1.obj"),
              "./data/default/man1.landmarks");
    EXPECT_EQ(LandmarkTable::PathBesideModel("../a.b/body"), "../a.b/body.landmarks");

    // The box is 1.8 m tall, so it is drawn 2 m tall; its table is given as drawn.
    const std::string model = testobj::Write("landmarked.obj", testobj::Box());
    testobj::Write("landmarked.landmarks", "left nipple 0.1 1.5 0.4\n");
    Body body;
    ASSERT_TRUE(body.Load(model).ok());
    ASSERT_TRUE(body.GetLandmarkStatus().ok());
    ASSERT_EQ(body.GetLandmarks().GetLandmarks().size(), 1u);
    body.SetScaleX(1.5);
    body.SetScaleZ(0.5);
    ASSERT_TRUE(body.SetHeight(1.6));
    const Vec3 drawn = body.DrawnLandmarks().GetLandmarks()[0].position;
    EXPECT_NEAR(drawn.x, 0.1 * 0.8 * 1.5, 1e-6);
    EXPECT_NEAR(drawn.y, 1.5 * 0.8, 1e-6);
    EXPECT_NEAR(drawn.z, 0.4 * 0.8 * 0.5, 1e-6);
    // The body draws its own mesh point there: the fitted mesh is centred on its box.
    const Vec3 fitted = {0.1, 1.5 - 1.0, 0.4 - 0.4 * 2 / 1.8 / 2};
    const Vec3 expected = body.DrawTransform().TransformPoint(fitted);
    EXPECT_NEAR(drawn.x, expected.x, 1e-6);
    EXPECT_NEAR(drawn.y, expected.y, 1e-6);
    EXPECT_NEAR(drawn.z, expected.z, 1e-6);

    // A body whose table cannot be read still loads, without landmarks, and says why.
    const std::string other = testobj::Write("badmarks.obj", testobj::Box());
    testobj::Write("badmarks.landmarks", "left nipple 0.1 1.5\n");
    ASSERT_TRUE(body.Load(other).ok());
    EXPECT_TRUE(body.GetLandmarks().IsEmpty());
    EXPECT_NE(
        body.GetLandmarkStatus().message().find("badmarks.landmarks\": Landmark table line 1"),
        std::string::npos);
    // A body without a table has none, and that is no failure.
    ASSERT_TRUE(body.Load(testobj::Write("nomarks.obj", testobj::Box())).ok());
    EXPECT_TRUE(body.GetLandmarks().IsEmpty());
    EXPECT_TRUE(body.GetLandmarkStatus().ok());
}

TEST(LandmarkTableTest, DescribesAPointFromTheMidlineTheHeelAndTheNearestLandmark) {
    const LandmarkTable torso = Torso();
    EXPECT_EQ(DescribeBodyPoint({0.123, 1.41, 0.25}, torso),
              "12.3 cm left of the midline, 141.0 cm above the heel, 5 cm below and 2 cm left of "
              "the left nipple");
    EXPECT_EQ(DescribeBodyPoint({-0.0999, 1.4161, 0.2512}, torso),
              "10.0 cm right of the midline, 141.6 cm above the heel, 4 cm below the right "
              "nipple");
    EXPECT_EQ(DescribeBodyPoint({-0.0004, 1.23, 0.15}, torso),
              "on the midline, 123.0 cm above the heel, 7 cm behind and 3 cm above the umbilicus");
    EXPECT_EQ(DescribeBodyPoint({0.1, 1.44, 0.26}, torso),
              "10.0 cm left of the midline, 144.0 cm above the heel, 2 cm below and 1 cm in front "
              "of the left nipple");
    EXPECT_EQ(DescribeBodyPoint({0.004, 1.2011, 0.3}, torso),
              "0.4 cm left of the midline, 120.1 cm above the heel, 8 cm in front of the "
              "umbilicus");
    // Within half a centimetre of a landmark the point is at it.
    EXPECT_EQ(DescribeBodyPoint({0.1029, 1.4601, 0.2522}, torso),
              "10.3 cm left of the midline, 146.0 cm above the heel, at the left nipple");
    // Three axes, and a point under the sole; without landmarks only the first two parts.
    EXPECT_EQ(DescribeBodyPoint({-0.03, 1.26, 0.2524}, torso),
              "3.0 cm right of the midline, 126.0 cm above the heel, 6 cm above, 3 cm right of "
              "and 3 cm in front of the umbilicus");
    EXPECT_EQ(DescribeBodyPoint({0, -0.0123, 0}, LandmarkTable()),
              "on the midline, 1.2 cm below the heel");
    EXPECT_EQ(DescribeBodyPoint({-0.0004, 0.0004, 0}, LandmarkTable()),
              "on the midline, level with the heel");
}
