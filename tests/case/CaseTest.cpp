#include "case/Case.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void AddLabelled(Case& theCase, const std::string& text) {
    Trajectory* trajectory = theCase.AddTrajectory(1);
    ASSERT_NE(trajectory, nullptr);
    trajectory->SetText(text);
}

} // namespace

TEST(CaseTest, DeletingKeepsOrderAndTheTableHoldsTwenty) {
    Case theCase;
    for (int i = 1; i <= 4; ++i) {
        AddLabelled(theCase, std::to_string(i));
    }
    theCase.DeleteTrajectory(1);
    theCase.DeleteTrajectory(3);
    theCase.DeleteTrajectory(-1);
    ASSERT_EQ(theCase.GetTrajectoryCount(), 3);
    EXPECT_EQ(theCase.GetTrajectory(0)->GetText(), "1");
    EXPECT_EQ(theCase.GetTrajectory(1)->GetText(), "3");
    EXPECT_EQ(theCase.GetTrajectory(2)->GetText(), "4");
    EXPECT_EQ(theCase.GetTrajectory(3), nullptr);

    for (int i = 5; i <= 21; ++i) {
        AddLabelled(theCase, std::to_string(i));
    }
    EXPECT_EQ(theCase.AddTrajectory(0), nullptr);
    EXPECT_EQ(theCase.GetTrajectoryCount(), 20);
    EXPECT_EQ(theCase.GetLastTrajectory()->GetText(), "21");

    theCase.GetElements().Add(std::make_unique<Element>());
    theCase.DeleteAll();
    EXPECT_EQ(theCase.GetTrajectoryCount(), 0);
    EXPECT_EQ(theCase.GetElements().GetCount(), 0);
    EXPECT_EQ(theCase.GetLastTrajectory(), nullptr);
}
