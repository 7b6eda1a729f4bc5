#include "mesh/ArrowModels.h"
#include "support/TestObjFiles.h"

#include <gtest/gtest.h>

#include <string>

TEST(ArrowModelsTest, LoadsBothArrowsUnfittedAndReportsTheFirstFailure) {
    // A thin arrow along -Z from the origin, in metres.
    const std::string arrow = "v -0.01 0 0\nv 0.01 0 0\nv 0 0.01 0\nv 0 0 -0.7\n"
                              "f 1 2 3\nf 1 4 2\nf 2 4 3\nf 3 4 1\n";
    const std::string full = testobj::Write("arrow.obj", arrow);
    const std::string half = testobj::Write("half_arrow.obj", arrow);
    ArrowModels arrows;
    EXPECT_EQ(arrows.For(true), nullptr);
    const Status loaded = arrows.Load(full, half);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_FALSE(arrows.half->normals.empty());
    EXPECT_FLOAT_EQ(arrows.full->positions[3].z, -0.7f) << "arrows are not fitted";
    EXPECT_EQ(arrows.For(true), arrows.full.get());
    EXPECT_EQ(arrows.For(false), arrows.half.get());

    ArrowModels missing;
    const Status failed = missing.Load(testing::TempDir() + "missing_arrow.obj", half);
    EXPECT_FALSE(failed.ok());
    EXPECT_NE(failed.message().find("missing_arrow.obj"), std::string::npos) << failed.message();
    EXPECT_NE(missing.half, nullptr) << "the other arrow still loads";
}
