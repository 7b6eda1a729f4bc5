#include "case/Case.h"
#include "case/EntryNumber.h"

#include <gtest/gtest.h>

#include <string>

TEST(CaseTest, ACaseIsAValueAndNamesItsEntriesByTheUsersNumbers) {
    Case theCase;
    for (int i = 1; i <= 3; ++i) {
        Trajectory trajectory;
        trajectory.label = std::to_string(i);
        theCase.trajectories.push_back(trajectory);
    }
    theCase.elements.push_back(Element{});
    ASSERT_NE(theCase.TrajectoryNumbered(1), nullptr);
    EXPECT_EQ(theCase.TrajectoryNumbered(1)->label, "1");
    EXPECT_EQ(theCase.TrajectoryNumbered(3)->label, "3");
    for (int none : {0, -1, 4}) {
        EXPECT_EQ(theCase.TrajectoryNumbered(none), nullptr) << none;
    }
    EXPECT_EQ(theCase.ElementNumbered(1), &theCase.elements[0]);
    EXPECT_EQ(theCase.ElementNumbered(2), nullptr);
    EXPECT_EQ(IndexOfNumber(NumberOfIndex(7)), 7u);

    // A copy is equal and independent: what undo keeps.
    const Case copy = theCase;
    EXPECT_EQ(copy, theCase);
    theCase.TrajectoryNumbered(2)->in.x = 0.1;
    EXPECT_NE(copy, theCase);
    EXPECT_EQ(copy.TrajectoryNumbered(2)->in.x, 0.0);
    theCase.trajectories.erase(theCase.trajectories.begin());
    EXPECT_EQ(theCase.TrajectoryNumbered(1)->label, "2") << "later entries move down a number";
}
