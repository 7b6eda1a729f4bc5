// "Align wounds": the joints between the two trajectories' parts chosen at first, the answers
// listed and shown in the view, OK one edit, Cancel back to the case's posture, and refusals said
// in the dialog.
#include "BodyPartPoints.h"
#include "DialogsTestSupport.h"

#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "ui/AlignWoundsDialog.h"
#include "view/ViewState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using skeleton::Joint;

struct AlignWoundsTest : ::testing::Test {
    void SetUp() override {
        const Status loaded = theCase.LoadModels();
        ASSERT_TRUE(loaded.ok()) << loaded.message();
        editor.SetRecorder(
            [this](std::unique_ptr<CaseEdit> edit) { edits.push_back(edit->Name()); });
        // Through the right forearm from front to back, and on into the chest.
        const Body& body = theCase.GetBody();
        const Vec3 forearm = PointOnPart(body, "right_forearm");
        Trajectory& through = *theCase.AddTrajectory(1);
        through.SetPoints(forearm.x, forearm.y, forearm.z, forearm.x, forearm.y, forearm.z - 0.04);
        through.SetParts("right_forearm", "right_forearm");
        const Vec3 chest = PointOnPart(body, "trunk");
        Trajectory& into = *theCase.AddTrajectory(0);
        into.SetPoints(chest.x, chest.y, chest.z, chest.x + 0.02, chest.y - 0.03, chest.z - 0.12);
        into.SetParts("trunk", "trunk");
        into.SetText("chest");
    }

    Case theCase;
    CaseEditor editor{theCase};
    ViewState view;
    std::vector<std::string> edits;
};

Trajectory OnParts(const std::string& in, const std::string& out) {
    Trajectory trajectory;
    trajectory.SetParts(in, out);
    return trajectory;
}

void Click(QDialog& dialog, const char* button) {
    QTest::mouseClick(&Child<QPushButton>(dialog, button), Qt::LeftButton);
}

QString Message(QDialog& dialog) {
    return Child<QLabel>(dialog, "messageLabel").text();
}

} // namespace

TEST(AlignWoundsJointsTest, TheJointsOnTheWayFromOnePartToTheOtherAreChosen) {
    const auto between = [](const Trajectory& a, const Trajectory& b) {
        return AlignWoundsDialog::JointsBetween(a, b);
    };
    const Trajectory forearm = OnParts("right_forearm", "right_forearm");
    const Trajectory chest = OnParts("trunk", "trunk");
    EXPECT_EQ(between(forearm, chest),
              (std::vector<Joint>{Joint::RightShoulder, Joint::RightElbow}));
    EXPECT_EQ(between(chest, forearm), between(forearm, chest));
    // Arm to arm across the chest: both shoulders and both elbows, not the trunk.
    EXPECT_EQ(between(forearm, OnParts("left_forearm", "left_arm")),
              (std::vector<Joint>{Joint::RightShoulder, Joint::RightElbow, Joint::LeftShoulder}));
    // The shank to the head passes the knee, the hip, the lower back and the neck.
    EXPECT_EQ(between(OnParts("left_shank", "left_shank"), OnParts("head", "head")),
              (std::vector<Joint>{Joint::Neck, Joint::Trunk, Joint::LeftHip, Joint::LeftKnee}));
    // Two tracks that both touch the trunk share a part: no joint is needed.
    EXPECT_EQ(between(OnParts("right_thigh", "trunk"), chest), (std::vector<Joint>{}));
    EXPECT_EQ(between(OnParts("right_thigh", "right_thigh"), chest),
              (std::vector<Joint>{Joint::RightHip}));
    EXPECT_TRUE(between(chest, chest).empty());
    EXPECT_TRUE(between(Trajectory(), chest).empty()); // an older file's trajectory has no parts
}

TEST_F(AlignWoundsTest, TheChosenAnswerIsShownOkKeepsItAndCancelPutsThePostureBack) {
    const Posture start = theCase.GetBody().GetPosture();
    AlignWoundsDialog dialog(editor, view);
    // Fewer searches than the program makes, still enough for two answers, so that the row
    // chosen below is not the one shown first.
    dialog.SetSearchStarts(8);
    std::vector<AlignmentAnswer> found;
    WhenModal<AlignWoundsDialog>([this, &found, &start](AlignWoundsDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Align wounds");
        EXPECT_EQ(Child<QComboBox>(d, "firstBox").currentText(), "1");
        EXPECT_EQ(Child<QComboBox>(d, "secondBox").currentText(), "2 (chest)");
        EXPECT_TRUE(Child<QCheckBox>(d, "right_shoulder").isChecked());
        EXPECT_TRUE(Child<QCheckBox>(d, "right_elbow").isChecked());
        EXPECT_FALSE(Child<QCheckBox>(d, "trunk").isChecked());
        EXPECT_TRUE(Child<QLabel>(d, "presentLabel").text().startsWith("In the case's posture"));
        Click(d, "searchButton");
        found = d.GetAnswers();
        ASSERT_GE(found.size(), 2u) << Message(d).toStdString();
        QTableWidget& list = Child<QTableWidget>(d, "answerList");
        ASSERT_EQ(list.rowCount(), static_cast<int>(found.size()));
        EXPECT_EQ(list.item(0, 0)->text(), QString::number(found[0].angleDegrees, 'f', 1));
        EXPECT_EQ(list.item(0, 1)->text(), QString::number(found[0].gapMetres * 100, 'f', 1));
        // The first answer is shown at once, and nothing is recorded.
        EXPECT_TRUE(theCase.GetBody().GetPosture() == found[0].posture);
        EXPECT_FALSE(found[0].posture == start);
        EXPECT_TRUE(edits.empty());
        // Only the joints chosen moved.
        for (int j = 0; j < skeleton::kJointCount; ++j) {
            const Joint joint = static_cast<Joint>(j);
            if (joint != Joint::RightShoulder && joint != Joint::RightElbow) {
                EXPECT_TRUE(found[0].posture.Get(joint) == start.Get(joint)) << j;
            }
        }
        Click(d, "cancelButton");
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(theCase.GetBody().GetPosture() == start);
    EXPECT_TRUE(edits.empty());

    // The search brings the two tracks nearer to one line than they are in the case's posture.
    ASSERT_FALSE(found.empty());
    const AlignmentAnswer now = MeasureAlignment(theCase, 1, 2, start);
    EXPECT_LT(found[0].angleDegrees, now.angleDegrees);

    WhenModal<AlignWoundsDialog>([](AlignWoundsDialog& d) {
        Click(d, "searchButton");
        Child<QTableWidget>(d, "answerList").selectRow(d.GetAnswers().size() - 1);
        Click(d, "okButton");
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    ASSERT_GE(dialog.GetAnswers().size(), 2u);
    EXPECT_FALSE(dialog.GetAnswers().back().posture == dialog.GetAnswers().front().posture);
    EXPECT_TRUE(theCase.GetBody().GetPosture() == dialog.GetAnswers().back().posture);
    EXPECT_EQ(edits, std::vector<std::string>{"Align wounds"});
}

TEST_F(AlignWoundsTest, RefusalsAreSaidInTheDialog) {
    AlignWoundsDialog dialog(editor, view);
    WhenModal<AlignWoundsDialog>([](AlignWoundsDialog& d) {
        Child<QCheckBox>(d, "right_shoulder").setChecked(false);
        Child<QCheckBox>(d, "right_elbow").setChecked(false);
        Click(d, "searchButton");
        EXPECT_EQ(Message(d), "Choose at least one joint that may move.");
        QComboBox& second = Child<QComboBox>(d, "secondBox");
        second.setCurrentIndex(0);
        emit second.activated(0);
        Click(d, "searchButton");
        EXPECT_EQ(Message(d), "Choose two different trajectories.");
        EXPECT_EQ(Child<QTableWidget>(d, "answerList").rowCount(), 0);
        Click(d, "okButton"); // nothing to take: nothing changes
    });
    dialog.exec();
    EXPECT_TRUE(edits.empty());

    // A trajectory of an older file has no parts to pose with.
    theCase.GetTrajectory(1)->ClearParts();
    view.SelectTrajectory(2);
    WhenModal<AlignWoundsDialog>([](AlignWoundsDialog& d) {
        EXPECT_EQ(Child<QComboBox>(d, "firstBox").currentText(), "2 (chest)");
        EXPECT_EQ(Child<QComboBox>(d, "secondBox").currentText(), "1");
        Child<QCheckBox>(d, "right_elbow").setChecked(true);
        Click(d, "searchButton");
        EXPECT_TRUE(Message(d).startsWith("Trajectory 2 comes from an older file"))
            << Message(d).toStdString();
    });
    dialog.exec();
    EXPECT_TRUE(edits.empty());
}
