#include "case/Case.h"
#include "support/TestObjFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CaseModelsTest : public testing::Test {
protected:
    void SetUp() override {
        // A thin arrow along -Z from the origin, in metres.
        const std::string arrow = "v -0.01 0 0\nv 0.01 0 0\nv 0 0.01 0\nv 0 0 -0.7\n"
                                  "f 1 2 3\nf 1 4 2\nf 2 4 3\nf 3 4 1\n";
        files.arrow = testobj::Write("arrow.obj", arrow);
        files.halfArrow = testobj::Write("half_arrow.obj", arrow);
        files.body = testobj::Write("context_body.obj", testobj::Box());
    }
    DefaultModelFiles files;
    Case theCase;
};

} // namespace

TEST_F(CaseModelsTest, NothingIsLoadedBeforeTheModelsAreRead) {
    EXPECT_EQ(theCase.GetArrowModel(), nullptr);
    EXPECT_EQ(theCase.GetHalfArrowModel(), nullptr);
    EXPECT_EQ(theCase.GetBody().GetModel(), nullptr);
    Trajectory trajectory;
    EXPECT_EQ(theCase.ArrowModelFor(trajectory), nullptr);
}

TEST_F(CaseModelsTest, LoadsTheModelsAndReportsTheFirstFailure) {
    const Status loaded = theCase.LoadModels(files);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_GT(theCase.GetHalfArrowModel()->normalCount, 0u);
    EXPECT_FLOAT_EQ(theCase.GetArrowModel()->vertices[3 * 4 + 2], -0.7f) << "arrows are not fitted";
    EXPECT_FLOAT_EQ(theCase.GetBody().GetHeight(), 2.0f);
    EXPECT_EQ(theCase.GetBodyModelFile(), files.body);
    Trajectory trajectory;
    trajectory.SetExited(1);
    EXPECT_EQ(theCase.ArrowModelFor(trajectory), theCase.GetArrowModel());
    trajectory.SetExited(0);
    EXPECT_EQ(theCase.ArrowModelFor(trajectory), theCase.GetHalfArrowModel());

    Case other;
    DefaultModelFiles missingArrow = files;
    missingArrow.arrow = testing::TempDir() + "missing_arrow.obj";
    const Status failed = other.LoadModels(missingArrow);
    EXPECT_FALSE(failed.ok());
    EXPECT_NE(failed.message().find("missing_arrow.obj"), std::string::npos) << failed.message();
    EXPECT_NE(other.GetHalfArrowModel(), nullptr) << "the other models still load";
    EXPECT_NE(other.GetBody().GetModel(), nullptr);
}
