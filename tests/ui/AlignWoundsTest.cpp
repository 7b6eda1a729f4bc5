// "Align wounds": the joints between the two trajectories' parts chosen at first, the answers
// listed and shown in the view, OK one edit, Cancel back to the case's posture, and refusals said
// in the dialog.
#include "BodyPartPoints.h"
#include "DialogsTestSupport.h"

#include "case/Case.h"
#include "case/WoundAlignment.h"
#include "edit/CaseEditor.h"
#include "ui/AlignWoundsDialog.h"
#include "view/ViewState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using skeleton::Joint;

struct AlignWoundsTest : ::testing::Test {
    void SetUp() override {
        const Status loaded = theCase.body.Load(DefaultModelFiles().body);
        ASSERT_TRUE(loaded.ok()) << loaded.message();
        editor.SetRecorder(
            [this](std::unique_ptr<CaseEdit> edit) { edits.push_back(edit->Name()); });
        // Through the right forearm from front to back, and on into the chest.
        const Body& body = theCase.body;
        const Vec3 forearm = PointOnPart(body, "right_forearm");
        Trajectory through = OnParts("right_forearm", "right_forearm");
        through.exited = true;
        through.in = forearm;
        through.out = {forearm.x, forearm.y, forearm.z - 0.04};
        const Vec3 chest = PointOnPart(body, "trunk");
        Trajectory into = OnParts("trunk", "trunk");
        into.in = chest;
        into.out = {chest.x + 0.02, chest.y - 0.03, chest.z - 0.12};
        into.label = "chest";
        theCase.trajectories = {through, into};
        editor.Preview(); // as a file read into the case
    }

    static Trajectory OnParts(const std::string& in, const std::string& out) {
        Trajectory trajectory;
        trajectory.inPart = in;
        trajectory.outPart = out;
        return trajectory;
    }

    Case theCase;
    CaseEditor editor{theCase};
    ViewState view;
    std::vector<std::string> edits;
};

QString Message(QDialog& dialog) {
    return Child<QLabel>(dialog, "messageLabel").text();
}

} // namespace

TEST(AlignWoundsJointsTest, TheJointsOnTheWayFromOnePartToTheOtherAreChosen) {
    const auto between = [](const Trajectory& a, const Trajectory& b) {
        return AlignWoundsDialog::JointsBetween(a, b);
    };
    const auto OnParts = AlignWoundsTest::OnParts;
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
    const Posture start = theCase.body.GetPosture();
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
        // The angle between the tracks is that of the tracks as posed, and the dialog says so.
        EXPECT_TRUE(
            Child<QLabel>(d, "presentLabel").text().contains("between the tracks (as posed)"));
        EXPECT_EQ(Child<QTableWidget>(d, "answerList").horizontalHeaderItem(0)->text(),
                  "Angle, as posed (°)");
        Click(d, "searchButton");
        found = d.GetAnswers();
        ASSERT_GE(found.size(), 2u) << Message(d).toStdString();
        QTableWidget& list = Child<QTableWidget>(d, "answerList");
        ASSERT_EQ(list.rowCount(), static_cast<int>(found.size()));
        EXPECT_EQ(list.item(0, 0)->text(), QString::number(found[0].angleDegrees, 'f', 1));
        EXPECT_EQ(list.item(0, 1)->text(), QString::number(found[0].gapMetres * 100, 'f', 1));
        // The first answer is shown at once, and nothing is recorded.
        EXPECT_TRUE(theCase.body.GetPosture() == found[0].posture);
        // The view's posed case shows it too.
        EXPECT_TRUE(editor.GetPosed().GetCase().body.GetPosture() == found[0].posture);
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
    EXPECT_TRUE(theCase.body.GetPosture() == start);
    EXPECT_TRUE(edits.empty());

    // The search brings the two tracks nearer to one line than they are in the case's posture.
    ASSERT_FALSE(found.empty());
    const AlignmentAnswer now = MeasureAlignment(theCase.body, AlignmentTrackOf(theCase, 1),
                                                 AlignmentTrackOf(theCase, 2), start);
    EXPECT_LT(found[0].angleDegrees, now.angleDegrees);

    WhenModal<AlignWoundsDialog>([](AlignWoundsDialog& d) {
        Click(d, "searchButton");
        Child<QTableWidget>(d, "answerList").selectRow(d.GetAnswers().size() - 1);
        Click(d, "okButton");
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    ASSERT_GE(dialog.GetAnswers().size(), 2u);
    EXPECT_FALSE(dialog.GetAnswers().back().posture == dialog.GetAnswers().front().posture);
    EXPECT_TRUE(theCase.body.GetPosture() == dialog.GetAnswers().back().posture);
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
    theCase.TrajectoryNumbered(2)->inPart.clear();
    theCase.TrajectoryNumbered(2)->outPart.clear();
    editor.Preview();
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

// IN on OUT read "0.0° between the tracks, 0.0 cm apart" and "4 postures fit equally well".
TEST_F(AlignWoundsTest, ATrackWithoutDirectionIsRefusedAndGivesNoAngle) {
    Trajectory& through = *theCase.TrajectoryNumbered(1);
    through.out = through.in;
    editor.Preview();
    AlignWoundsDialog dialog(editor, view);
    dialog.SetSearchStarts(2);
    WhenModal<AlignWoundsDialog>([](AlignWoundsDialog& d) {
        const QString refusal =
            "Trajectory 1 has no direction: its IN and OUT lie within 1 mm of each other.";
        EXPECT_EQ(Child<QLabel>(d, "presentLabel").text(), refusal);
        Click(d, "searchButton");
        EXPECT_EQ(Message(d), refusal);
        EXPECT_EQ(Child<QTableWidget>(d, "answerList").rowCount(), 0);
        Click(d, "okButton");
    });
    dialog.exec();
    EXPECT_TRUE(edits.empty());
}

namespace {

// The angle in degrees between the directions of travel of two tracks.
double AngleBetween(const Vec3& firstIn, const Vec3& firstOut, const Vec3& secondIn,
                    const Vec3& secondOut) {
    const Vec3 u = Minus(firstOut, firstIn);
    const Vec3 v = Minus(secondOut, secondIn);
    const double cosine = Dot(u, v) / std::sqrt(Dot(u, u) * Dot(v, v));
    return std::acos(std::clamp(cosine, -1.0, 1.0)) * 180 / std::numbers::pi;
}

} // namespace

TEST_F(AlignWoundsTest, TheAngleBetweenTheTracksIsTheirAngleAsPosed) {
    // The elbow bent: the forearm's track turns with it, the chest's stays.
    JointAngles bent;
    bent.pitch = 70;
    editor.EditBody("Posture", [&bent](Body& body) { body.SetJoint(Joint::RightElbow, bent); });
    const PosedTrajectory& first = *editor.GetPosed().TrajectoryNumbered(1);
    const PosedTrajectory& second = *editor.GetPosed().TrajectoryNumbered(2);
    const double asPosed = AngleBetween(first.in, first.out, second.in, second.out);
    const Trajectory& measuredFirst = *theCase.TrajectoryNumbered(1);
    const Trajectory& measuredSecond = *theCase.TrajectoryNumbered(2);
    const double anatomical =
        AngleBetween(measuredFirst.in, measuredFirst.out, measuredSecond.in, measuredSecond.out);
    ASSERT_GT(std::abs(asPosed - anatomical), 1.0) << "the posture must change the angle";

    AlignWoundsDialog dialog(editor, view);
    QString present;
    WhenModal<AlignWoundsDialog>(
        [&present](AlignWoundsDialog& d) { present = Child<QLabel>(d, "presentLabel").text(); });
    dialog.exec();
    const QRegularExpressionMatch shown =
        QRegularExpression(R"(^In the case's posture: (\d+\.\d)° between the tracks \(as posed\))")
            .match(present);
    ASSERT_TRUE(shown.hasMatch()) << present.toStdString();
    EXPECT_NEAR(shown.captured(1).toDouble(), asPosed, 0.051);
}

// One trajectory through the forearm and on into the chest, its points on both parts: the first
// list offers its two pieces, which need no second trajectory and tick the joints between them.
TEST_F(AlignWoundsTest, TheTwoPiecesOfOneTrajectoryAreLinedUpOnTheirOwn) {
    const Trajectory through = theCase.trajectories[0], into = theCase.trajectories[1];
    Trajectory shot = through;
    shot.points = {{through.out, 0.005, "right_forearm"}, {into.in, 0.005, "trunk"}};
    shot.out = into.out;
    shot.outPart = "trunk";
    theCase.trajectories = {shot};
    editor.Preview();
    AlignWoundsDialog dialog(editor, view);
    dialog.SetSearchStarts(2);
    WhenModal<AlignWoundsDialog>([](AlignWoundsDialog& d) {
        QComboBox& first = Child<QComboBox>(d, "firstBox");
        ASSERT_EQ(first.count(), 2);
        EXPECT_EQ(first.itemText(1), "Trajectory 1, its two pieces");
        first.setCurrentIndex(1);
        emit first.activated(1);
        EXPECT_FALSE(Child<QComboBox>(d, "secondBox").isEnabled());
        EXPECT_TRUE(Child<QCheckBox>(d, "right_shoulder").isChecked());
        EXPECT_TRUE(Child<QCheckBox>(d, "right_elbow").isChecked());
        EXPECT_TRUE(Child<QLabel>(d, "presentLabel").text().startsWith("In the case's posture"))
            << Child<QLabel>(d, "presentLabel").text().toStdString();
        Click(d, "searchButton");
        EXPECT_FALSE(d.GetAnswers().empty()) << Message(d).toStdString();
        Click(d, "okButton");
    });
    dialog.exec();
    EXPECT_EQ(edits, std::vector<std::string>{"Align wounds"});
}
