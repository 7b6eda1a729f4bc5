// The body parts of IN and OUT in the trajectory dialogs: found for typed points, changeable,
// stored with the trajectory in one edit, and for a trajectory of an older file the older rule
// until a part is chosen.
#include "BodyPartPoints.h"
#include "DialogsTestSupport.h"

#include "ScriptedPlatform.h"
#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "ui/AdjustTrajectoryDialog.h"
#include "ui/BodyPartBox.h"
#include "ui/DialogInput.h"
#include "ui/NewTrajectoryDialog.h"
#include "view/ViewState.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct TrajectoryPartsTest : ::testing::Test {
    void SetUp() override {
        const Status loaded = theCase.body.Load(DefaultModelFiles().body);
        ASSERT_TRUE(loaded.ok()) << loaded.message();
        editor.Preview();
        editor.SetRecorder(
            [this](std::unique_ptr<CaseEdit> edit) { edits.push_back(edit->Name()); });
    }
    Case theCase;
    CaseEditor editor{theCase};
    ViewState view;
    ScriptedPlatform platform;
    QColor proposedColor = Qt::white;
    std::vector<std::string> edits;
};

// Each field gets its whole number at once and then its last character typed, so that the dialog
// answers one edit of each field (each edit searches the whole body for the nearest part).
void TypePoint(QDialog& dialog, const char* prefix, const Vec3& metres) {
    const double values[3] = {metres.x, metres.y, metres.z};
    const char* axes[3] = {"X", "Y", "Z"};
    for (int axis = 0; axis < 3; ++axis) {
        QLineEdit& field = Child<QLineEdit>(dialog, (std::string(prefix) + axes[axis]).c_str());
        const QString text = CentimetreText(values[axis]);
        field.setText(text.chopped(1));
        QTest::keyClicks(&field, text.right(1));
        ASSERT_EQ(field.text(), text);
    }
}

std::string Shown(QDialog& dialog, const char* box) {
    return Child<BodyPartBox>(dialog, box).currentText().toStdString();
}

// A part chosen in the box as the user does.
void Choose(QDialog& dialog, const char* box, const QString& text) {
    BodyPartBox& chosen = Child<BodyPartBox>(dialog, box);
    const int index = chosen.findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    chosen.setCurrentIndex(index);
    emit chosen.activated(index);
}

} // namespace

TEST_F(TrajectoryPartsTest, NewTrajectoryFindsEachTypedPointsPartAndKeepsTheOneChosen) {
    const Body& body = theCase.body;
    NewTrajectoryDialog dialog(editor, platform, proposedColor, [] {});
    WhenModal<NewTrajectoryDialog>([&body](NewTrajectoryDialog& d) {
        // Every part a point may belong to is found under its coordinates.
        for (const std::string_view part : skeleton::kPartNames) {
            TypePoint(d, "in", PointOnPart(body, std::string(part)));
            EXPECT_EQ(Shown(d, "inPartBox"), part);
        }
        TypePoint(d, "in", PointOnPart(body, "right_forearm"));
        TypePoint(d, "out", PointOnPart(body, "trunk"));
        EXPECT_EQ(Shown(d, "inPartBox"), "right_forearm");
        EXPECT_EQ(Shown(d, "outPartBox"), "trunk");
        // The user knows better: the exit is on the upper arm.
        Choose(d, "outPartBox", "right_arm");
        QTest::mouseClick(&Child<QPushButton>(d, "computeButton"), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    ASSERT_EQ(theCase.TrajectoryCount(), 1);
    EXPECT_EQ(theCase.TrajectoryNumbered(1)->inPart, "right_forearm");
    EXPECT_EQ(theCase.TrajectoryNumbered(1)->outPart, "right_arm");
    EXPECT_EQ(edits, std::vector<std::string>{"New trajectory"});

    // The next opening finds the parts of its own points again; a point typed anew after a
    // choice takes the part nearest to it.
    dialog.SetInitialPoints(PointOnPart(body, "head"), PointOnPart(body, "left_shank"));
    WhenModal<NewTrajectoryDialog>([&body](NewTrajectoryDialog& d) {
        EXPECT_EQ(Shown(d, "inPartBox"), "head");
        EXPECT_EQ(Shown(d, "outPartBox"), "left_shank");
        Choose(d, "outPartBox", "trunk");
        TypePoint(d, "out", PointOnPart(body, "left_thigh"));
        EXPECT_EQ(Shown(d, "outPartBox"), "left_thigh");
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(theCase.TrajectoryCount(), 1);
}

TEST_F(TrajectoryPartsTest, AdjustShowsTheOlderRuleUntilAPartIsChosen) {
    const Body& body = theCase.body;
    const Vec3 in = PointOnPart(body, "right_forearm");
    const Vec3 out = PointOnPart(body, "trunk");
    Trajectory first;
    first.exited = true;
    first.in = in;
    first.out = out;
    first.withArm = false;
    Trajectory armWound;
    armWound.exited = true;
    armWound.in = in;
    armWound.out = {in.x + 0.01, in.y, in.z};
    theCase.trajectories = {first, armWound};
    editor.Preview(); // as a file read into the case
    const auto older = [this]() -> const Trajectory& { return *theCase.TrajectoryNumbered(1); };
    AdjustTrajectoryDialog dialog(editor, view);

    view.SelectTrajectory(2);
    WhenModal<AdjustTrajectoryDialog>([](AdjustTrajectoryDialog& d) {
        EXPECT_EQ(Shown(d, "inPartBox"), "follows the arm (older file)");
        EXPECT_EQ(Shown(d, "outPartBox"), "follows the arm (older file)");
    });
    dialog.exec();

    // A part chosen shows at once and gives the other point its nearest part; Cancel takes both
    // back.
    view.SelectTrajectory(1);
    WhenModal<AdjustTrajectoryDialog>([this, &older](AdjustTrajectoryDialog& d) {
        EXPECT_EQ(Shown(d, "inPartBox"), "stays (older file)");
        Choose(d, "inPartBox", "right_forearm");
        EXPECT_TRUE(older().HasParts());
        EXPECT_EQ(older().outPart, "trunk");
        EXPECT_EQ(Shown(d, "outPartBox"), "trunk");
        // The view's posed case shows the trajectory on its parts at once.
        EXPECT_TRUE(editor.GetPosed().GetCase().TrajectoryNumbered(1)->HasParts());
        EXPECT_FALSE(editor.GetPosed().TrajectoryNumbered(1)->olderFilePose.has_value());
        // The older rule chosen again: the trajectory is as the file had it.
        Choose(d, "outPartBox", "stays (older file)");
        EXPECT_FALSE(older().HasParts());
        EXPECT_EQ(Shown(d, "inPartBox"), "stays (older file)");
        Choose(d, "outPartBox", "right_arm");
        EXPECT_EQ(older().inPart, "right_forearm");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_FALSE(older().HasParts());
    EXPECT_FALSE(older().withArm);
    EXPECT_TRUE(editor.GetPosed().TrajectoryNumbered(1)->olderFilePose.has_value());
    EXPECT_TRUE(edits.empty());

    // OK keeps the parts with the rest of the adjustment, as one edit.
    WhenModal<AdjustTrajectoryDialog>([](AdjustTrajectoryDialog& d) {
        Choose(d, "outPartBox", "right_arm");
        Child<QLineEdit>(d, "uncertainty").setText("2");
        QTest::mouseClick(&Child<QPushButton>(d, "okButton"), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(older().inPart, "right_forearm");
    EXPECT_EQ(older().outPart, "right_arm");
    EXPECT_DOUBLE_EQ(older().radiusIn, 0.02);
    EXPECT_EQ(edits, std::vector<std::string>{"Adjust trajectory"});

    // With parts, the older rule is no longer offered.
    WhenModal<AdjustTrajectoryDialog>([](AdjustTrajectoryDialog& d) {
        BodyPartBox& box = Child<BodyPartBox>(d, "inPartBox");
        EXPECT_EQ(box.currentText(), "right_forearm");
        EXPECT_EQ(box.count(), static_cast<int>(skeleton::kPartNames.size()));
        EXPECT_EQ(box.findText("stays (older file)"), -1);
    });
    dialog.exec();
}
