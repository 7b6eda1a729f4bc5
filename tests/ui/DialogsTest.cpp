#include "DialogsTestSupport.h"
#include "support/OldArmPose.h"

#include "ScriptedPlatform.h"
#include "case/Case.h"
#include "case/TrackAngles.h"
#include "casefile/DataFile.h"
#include "edit/CaseEditor.h"
#include "ui/AdjustTrajectoryDialog.h"
#include "ui/BodyParametersDialog.h"
#include "ui/ConfirmDeleteDialog.h"
#include "ui/DialogInput.h"
#include "ui/NewElementDialog.h"
#include "ui/NewTrajectoryDialog.h"
#include "ui/PropertiesDialog.h"
#include "view/ViewState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// `redraws` counts the frames the dialogs ask for: every change (or preview) they announce
// through the editor, and the frame after the colour chooser.
struct DialogFixture : ::testing::Test {
    DialogFixture() {
        editor.AddListener([this](const CaseChange&) { ++redraws; });
    }
    Case theCase;
    CaseEditor editor{theCase};
    ViewState view;
    ScriptedPlatform platform;
    QColor proposedColor = Qt::white;
    int redraws = 0;
    std::function<void()> redraw = [this] { ++redraws; };
};

void Type(QDialog& dialog, const char* field, const QString& text) {
    QTest::keyClicks(&Child<QLineEdit>(dialog, field), text);
}

// Appends a full arrow shifted by `offset`, as a file would; returns its number.
int AddTrajectory(Case& theCase, const Vec3& offset = {}, const std::string& label = {}) {
    Trajectory trajectory;
    trajectory.exited = true;
    trajectory.offset = offset;
    trajectory.label = label;
    theCase.trajectories.push_back(trajectory);
    return theCase.TrajectoryCount();
}

} // namespace

TEST(DialogInputTest, ReadsTheLongestLeadingNumberAndIgnoresTheRest) {
    EXPECT_DOUBLE_EQ(ReadLenientNumber("12abc"), 12.0);
    EXPECT_DOUBLE_EQ(ReadLenientNumber("   7"), 7.0);
    EXPECT_DOUBLE_EQ(ReadLenientNumber("abc"), 0.0);
    EXPECT_DOUBLE_EQ(ReadLenientNumber(""), 0.0);
    EXPECT_DOUBLE_EQ(ReadLenientNumber("-1.5e2x"), -150.0);
    EXPECT_DOUBLE_EQ(ReadLenientNumber("1e"), 1.0);
    EXPECT_DOUBLE_EQ(ReadLenientNumber("+.5"), 0.5);
    EXPECT_DOUBLE_EQ(ReadLenientNumber("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(ReadLenientNumber("-"), 0.0);
    EXPECT_DOUBLE_EQ(ReadLenientNumber("0x10"), 0.0);
    EXPECT_DOUBLE_EQ(ReadLenientNumber("inf"), 0.0);
    EXPECT_DOUBLE_EQ(ReadCentimetres(" 150"), 1.5);
    // Only the first 78 characters are read.
    EXPECT_DOUBLE_EQ(ReadLenientNumber(QString(78, ' ') + "5"), 0.0);
}

TEST(DialogInputTest, CoordinatesAreOneNumberOfCentimetresOrRefusedByName) {
    double metres = -1;
    EXPECT_EQ(ReadCoordinate("", "z2", metres), "z2 is empty: type a number in centimetres.");
    EXPECT_EQ(ReadCoordinate("   ", "x1", metres), "x1 is empty: type a number in centimetres.");
    EXPECT_EQ(ReadCoordinate("1O0", "y1", metres),
              "y1 \"1O0\" is not a number: type a number in centimetres.");
    for (const char* refused : {"abc", "-", ".", "1e", "12abc", "+-5", "0x10", "inf", "5 mm"}) {
        EXPECT_FALSE(ReadCoordinate(refused, "x2", metres).isEmpty()) << refused;
    }
    EXPECT_TRUE(ReadCoordinate("1e300", "x2", metres).contains("beyond any measure"));
    EXPECT_EQ(metres, -1) << "a refused field sets nothing";
    const std::pair<const char*, double> accepted[] = {
        {"-10", -0.1}, {" 150cm", 1.5}, {"+.5", 0.005}, {"20 CM ", 0.2}, {"1e2", 1.0}, {"0", 0}};
    for (const auto& [text, expected] : accepted) {
        EXPECT_TRUE(ReadCoordinate(text, "x1", metres).isEmpty()) << text;
        EXPECT_DOUBLE_EQ(metres, expected) << text;
    }
}

TEST(DialogInputTest, AnUncertaintyIsARadiusWithinAMetreOrRefusedByName) {
    double metres = -1;
    EXPECT_EQ(ReadUncertainty(" ", "Uncertainty", metres),
              "Uncertainty is empty: type the radius in centimetres, within 0 and 100.");
    EXPECT_EQ(ReadUncertainty("-3", "Uncertainty of OUT", metres),
              "Uncertainty of OUT \"-3\" is refused: type the radius in centimetres, within 0 "
              "and 100.");
    for (const char* refused : {"abc", "100.5", "1e300", "2 mm", "nan"}) {
        EXPECT_FALSE(ReadUncertainty(refused, "Uncertainty", metres).isEmpty()) << refused;
    }
    EXPECT_EQ(metres, -1);
    EXPECT_TRUE(ReadUncertainty("2.5 cm", "Uncertainty", metres).isEmpty());
    EXPECT_DOUBLE_EQ(metres, 0.025);
    EXPECT_TRUE(ReadUncertainty("0", "Uncertainty", metres).isEmpty());
    EXPECT_EQ(metres, 0.0);
}

TEST(DialogInputTest, TypedLengthsNoBodyHasReadAsZero) {
    // 1e300 cm squares to infinity in a trajectory's angles; the data file's bound applies.
    EXPECT_EQ(ReadCentimetres("1e300"), 0.0);
    EXPECT_EQ(ReadCentimetres("-1e300"), 0.0);
    EXPECT_DOUBLE_EQ(ReadCentimetres("1e8"), 1e6);
    const Vec3 in{ReadCentimetres("1e300"), 0, 0};
    const Vec3 out{ReadCentimetres("-1e300"), 1, 0};
    EXPECT_TRUE(std::isfinite(Bearing(in, out)));
    EXPECT_TRUE(std::isfinite(Elevation(in, out)));
}

TEST(PropertiesTextTest, TheLongestLabelOfAwkwardCharactersReadsBackWhole) {
    // The field's limit in characters of three bytes, of five-byte entities and of line breaks.
    for (const QString& character :
         {QString::fromUtf8("\u20ac"), QString(">"), QString("&"), QString("\n")}) {
        const std::string label = PropertiesDialog::FromFieldText(character.repeated(6000));
        Case theCase;
        theCase.body.SetHeight(1.8);
        AddTrajectory(theCase, {}, label);
        Case reopened;
        const DataFileReadResult read = DataFile::ReadText(reopened, DataFile::Format(theCase));
        EXPECT_FALSE(read.LeftSomethingOut()) << read.LeftOutMessage();
        ASSERT_EQ(reopened.TrajectoryCount(), 1);
        EXPECT_EQ(reopened.TrajectoryNumbered(1)->label, label) << character.toStdString();
    }
}

TEST(DialogInputTest, ColoursBecomeBytesByTruncation) {
    EXPECT_EQ(ColorFromChannels(0.5, 1.0, 0.0), QColor(127, 255, 0));
    EXPECT_EQ(ColorFromChannels(-1.0, 2.0, 0.999), QColor(0, 255, 254));
}

TEST_F(DialogFixture, NewTrajectoryComputesFromTypedCentimetres) {
    proposedColor = QColor(0, 255, 0);
    NewTrajectoryDialog dialog(editor, platform, proposedColor, redraw);
    platform.QueueColor(QColor(255, 0, 0));
    WhenModal<NewTrajectoryDialog>([](NewTrajectoryDialog& d) {
        EXPECT_EQ(d.windowTitle(), "New trajectory");
        Type(d, "inX", "10");
        Type(d, "inY", "150cm");
        Type(d, "inZ", "  5");
        Type(d, "outX", "-10");
        Type(d, "outY", "140");
        Type(d, "outZ", "20");
        QTest::mouseClick(&Child<QCheckBox>(d, "insideBox"), Qt::LeftButton);
        QTest::mouseClick(&Child<QWidget>(d, "colorSwatch"), Qt::LeftButton);
        Click(d, "computeButton");
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    ASSERT_EQ(theCase.TrajectoryCount(), 1);
    const Trajectory& trajectory = *theCase.TrajectoryNumbered(1);
    EXPECT_EQ(dialog.GetCreatedNumber(), 1);
    EXPECT_DOUBLE_EQ(trajectory.in.x, 0.1);
    EXPECT_DOUBLE_EQ(trajectory.in.y, 1.5);
    EXPECT_DOUBLE_EQ(trajectory.in.z, 0.05);
    EXPECT_DOUBLE_EQ(trajectory.out.x, -0.1);
    EXPECT_DOUBLE_EQ(trajectory.out.y, 1.4);
    EXPECT_DOUBLE_EQ(trajectory.out.z, 0.2);
    EXPECT_FALSE(trajectory.exited);
    // The chooser opened on the proposed colour; its answer colours the new trajectory.
    ASSERT_EQ(platform.ColorRequests().size(), 1u);
    EXPECT_EQ(platform.ColorRequests()[0], QColor(0, 255, 0));
    EXPECT_DOUBLE_EQ(trajectory.color.x, 1.0);
    EXPECT_DOUBLE_EQ(trajectory.color.y, 0.0);
    EXPECT_EQ(redraws, 2); // after the colour chooser, and the new trajectory
}

TEST_F(DialogFixture, NewTrajectoryCancelKeepsTheChosenColourAndCreatesNothing) {
    NewTrajectoryDialog dialog(editor, platform, proposedColor, redraw);
    platform.QueueColor(QColor(0, 0, 255));
    WhenModal<NewTrajectoryDialog>([](NewTrajectoryDialog& d) {
        Type(d, "inX", "10");
        QTest::mouseClick(&Child<QWidget>(d, "colorSwatch"), Qt::LeftButton);
        Click(d, "cancelButton");
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(theCase.TrajectoryCount(), 0);
    EXPECT_EQ(dialog.GetCreatedNumber(), 0);
    EXPECT_EQ(proposedColor, QColor(0, 0, 255));

    // The next opening starts empty and unchecked: an empty Compute is refused, not taken for
    // 0; zeros typed give a full arrow at 0.
    WhenModal<NewTrajectoryDialog>([this](NewTrajectoryDialog& d) {
        EXPECT_TRUE(Child<QLineEdit>(d, "inX").text().isEmpty());
        EXPECT_FALSE(Child<QCheckBox>(d, "insideBox").isChecked());
        Click(d, "computeButton");
        EXPECT_TRUE(d.isVisible());
        ASSERT_FALSE(platform.Messages().empty());
        EXPECT_EQ(platform.Messages().back().text, "x1 is empty: type a number in centimetres.");
        FillCoordinates(d);
        Click(d, "computeButton");
    });
    dialog.exec();
    ASSERT_EQ(theCase.TrajectoryCount(), 1);
    EXPECT_TRUE(theCase.TrajectoryNumbered(1)->exited);
    EXPECT_DOUBLE_EQ(theCase.TrajectoryNumbered(1)->in.x, 0.0);
    EXPECT_DOUBLE_EQ(theCase.TrajectoryNumbered(1)->color.z, 1.0);
}

TEST_F(DialogFixture, NewElementTakesCentreAndSizes) {
    NewElementDialog dialog(editor, platform, proposedColor, redraw);
    WhenModal<NewElementDialog>([](NewElementDialog& d) {
        EXPECT_EQ(d.windowTitle(), "New element");
        Type(d, "positionX", "5");
        Type(d, "positionY", "120");
        Type(d, "positionZ", "x");
        Type(d, "widthField", "20");
        Type(d, "heightField", "10");
        Type(d, "lengthField", "40");
        Click(d, "okButton");
    });
    dialog.exec();
    ASSERT_EQ(theCase.ElementCount(), 1);
    const Element& element = *theCase.ElementNumbered(1);
    EXPECT_DOUBLE_EQ(element.centre.x, 0.05);
    EXPECT_DOUBLE_EQ(element.centre.y, 1.2);
    EXPECT_DOUBLE_EQ(element.centre.z, 0.0);
    // Width, height and length: the element's bounds are half of each either side.
    EXPECT_DOUBLE_EQ(element.size.x, 0.2);
    EXPECT_DOUBLE_EQ(element.size.y, 0.1);
    EXPECT_DOUBLE_EQ(element.size.z, 0.4);
    EXPECT_TRUE(element.label.empty());
    EXPECT_EQ(element.yaw, 0.0);
}

TEST_F(DialogFixture, AdjustSlidersMoveOnTheTwoCentimetreGridAndCancelRestores) {
    AddTrajectory(theCase, {0.13, -0.05, 0.0});
    theCase.TrajectoryNumbered(1)->pitchAdjustment = 7;
    theCase.TrajectoryNumbered(1)->yawAdjustment = 3;
    const auto shift = [this] { return theCase.TrajectoryNumbered(1)->offset; };
    const auto trajectory = [this] { return *theCase.TrajectoryNumbered(1); };
    view.SelectTrajectory(1);
    AdjustTrajectoryDialog dialog(editor, view);
    WhenModal<AdjustTrajectoryDialog>([&](AdjustTrajectoryDialog& d) {
        EXPECT_EQ(Child<QLineEdit>(d, "numberField").text(), "1");
        QSlider& x = Child<QSlider>(d, "sliderX");
        EXPECT_EQ(x.value(), 56);
        EXPECT_EQ(Child<QSlider>(d, "sliderY").value(), 47);
        EXPECT_EQ(x.minimum(), 30);
        EXPECT_EQ(x.maximum(), 70);
        // Opening changes nothing; moving one slider rewrites all three shifts.
        EXPECT_DOUBLE_EQ(shift().x, 0.13);
        QTest::keyClick(&Child<QSlider>(d, "sliderZ"), Qt::Key_Right);
        EXPECT_NEAR(shift().x, 0.12, 1e-12);
        EXPECT_NEAR(shift().y, -0.06, 1e-12);
        EXPECT_NEAR(shift().z, 0.02, 1e-12);
        Click(d, "resetButton");
        EXPECT_EQ(shift().x, 0.0);
        EXPECT_EQ(trajectory().pitchAdjustment, 0.0);
        EXPECT_EQ(trajectory().yawAdjustment, 0.0);
        EXPECT_EQ(x.value(), 50);
        Click(d, "cancelButton");
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    // Cancel brings back exactly what the dialog opened on, the rotations Reset cleared too.
    EXPECT_EQ(shift().x, 0.13);
    EXPECT_EQ(shift().y, -0.05);
    EXPECT_EQ(shift().z, 0.0);
    EXPECT_EQ(trajectory().pitchAdjustment, 7.0);
    EXPECT_EQ(trajectory().yawAdjustment, 3.0);
    EXPECT_EQ(redraws, 3); // the slider, Reset and Cancel
}

TEST_F(DialogFixture, AdjustEscapeActsAsCancelAndOkKeepsTheShift) {
    AddTrajectory(theCase, {0.1, 0.0, 0.0});
    const auto shift = [this] { return theCase.TrajectoryNumbered(1)->offset; };
    view.SelectTrajectory(1);
    AdjustTrajectoryDialog dialog(editor, view);
    WhenModal<AdjustTrajectoryDialog>([](AdjustTrajectoryDialog& d) {
        Child<QSlider>(d, "sliderX").setValue(70);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    dialog.exec();
    EXPECT_NEAR(shift().x, 0.1, 1e-12);

    WhenModal<AdjustTrajectoryDialog>([](AdjustTrajectoryDialog& d) {
        Child<QSlider>(d, "sliderY").setValue(30);
        Click(d, "okButton");
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_NEAR(shift().y, -0.4, 1e-12);
    EXPECT_NEAR(shift().x, 0.1, 1e-12);
}

TEST_F(DialogFixture, BodyParametersShowTheHeightAndStretchLive) {
    Body& body = theCase.body;
    ASSERT_TRUE(body.SetHeight(0.5));
    body.SetName("victim");
    BodyParametersDialog dialog(editor, platform);
    WhenModal<BodyParametersDialog>([&body](BodyParametersDialog& d) {
        EXPECT_EQ(Child<QLineEdit>(d, "heightField").text(), " 50.0");
        EXPECT_EQ(Child<QLineEdit>(d, "nameField").text(), "victim");
        Child<QSlider>(d, "sliderScaleX").setValue(60);
        EXPECT_DOUBLE_EQ(body.GetScaleX(), 1.2);
        Click(d, "cancelButton");
    });
    dialog.exec();
    EXPECT_DOUBLE_EQ(body.GetScaleX(), 1.0);
    EXPECT_FLOAT_EQ(body.GetHeight(), 0.5f);

    WhenModal<BodyParametersDialog>([](BodyParametersDialog& d) {
        Child<QSlider>(d, "sliderScaleZ").setValue(35);
        QLineEdit& height = Child<QLineEdit>(d, "heightField");
        height.clear();
        QTest::keyClicks(&height, "175");
        Child<QLineEdit>(d, "nameField").setText("John Doe");
        Click(d, "okButton");
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(body.GetScaleZ(), 0.7);
    EXPECT_FLOAT_EQ(body.GetHeight(), 1.75f);
    EXPECT_EQ(body.GetName(), "John Doe");
    EXPECT_EQ(dialog.GetSavedScaleZ(), 35);

    // Reopened at 35; a moved slider closed with Esc goes back to the last OK.
    WhenModal<BodyParametersDialog>([&body](BodyParametersDialog& d) {
        EXPECT_EQ(Child<QLineEdit>(d, "heightField").text(), "175.0");
        QSlider& z = Child<QSlider>(d, "sliderScaleZ");
        EXPECT_EQ(z.value(), 35);
        z.setValue(70);
        EXPECT_DOUBLE_EQ(body.GetScaleZ(), 1.4);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    dialog.exec();
    EXPECT_DOUBLE_EQ(body.GetScaleZ(), 0.7);
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(DialogFixture, BodyParametersRefuseAHeightOfZeroWithAMessage) {
    ASSERT_TRUE(theCase.body.SetHeight(1.8));
    BodyParametersDialog dialog(editor, platform);
    WhenModal<BodyParametersDialog>([](BodyParametersDialog& d) {
        Child<QLineEdit>(d, "heightField").setText("tall");
        Click(d, "okButton");
    });
    dialog.exec();
    EXPECT_FLOAT_EQ(theCase.body.GetHeight(), 1.8f);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, "Body parameters");
}

TEST_F(DialogFixture, PropertiesEditTheSelectedTextLineByLine) {
    AddTrajectory(theCase);
    view.SelectTrajectory(1);
    PropertiesDialog dialog(editor, view);
    WhenModal<PropertiesDialog>([](PropertiesDialog& d) {
        QPlainTextEdit& field = Child<QPlainTextEdit>(d, "textField");
        EXPECT_TRUE(field.toPlainText().isEmpty());
        QTest::keyClicks(&field, "entry wound");
        QTest::keyClick(&field, Qt::Key_Return);
        QTest::keyClicks(&field, "left chest");
        Click(d, "okButton");
    });
    dialog.exec();
    EXPECT_EQ(theCase.TrajectoryNumbered(1)->label, "entry wound\r\nleft chest");

    WhenModal<PropertiesDialog>([](PropertiesDialog& d) {
        QPlainTextEdit& field = Child<QPlainTextEdit>(d, "textField");
        EXPECT_EQ(field.toPlainText(), "entry wound\nleft chest");
        QTest::keyClicks(&field, " changed");
        Click(d, "cancelButton");
    });
    dialog.exec();
    EXPECT_EQ(theCase.TrajectoryNumbered(1)->label, "entry wound\r\nleft chest");

    // An element's text when no trajectory is selected; the stored text is cut to 4999.
    theCase.elements.emplace_back();
    view.SelectElement(1);
    WhenModal<PropertiesDialog>([](PropertiesDialog& d) {
        Child<QPlainTextEdit>(d, "textField").setPlainText(QString(6000, 'a'));
        Click(d, "okButton");
    });
    dialog.exec();
    EXPECT_EQ(theCase.ElementNumbered(1)->label.size(), 4999u);
    EXPECT_EQ(theCase.TrajectoryNumbered(1)->label, "entry wound\r\nleft chest");
}

TEST_F(DialogFixture, ConfirmDeletesTheSelectedNumberAndRenumbers) {
    for (const char* label : {"t1", "t2", "t3", "t4", "t5"}) {
        AddTrajectory(theCase, {}, label);
    }
    view.SelectTrajectory(3);
    ConfirmDeleteDialog dialog(editor, view);
    WhenModal<ConfirmDeleteDialog>([](ConfirmDeleteDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Confirm ?");
        EXPECT_EQ(Child<QLabel>(d, "messageLabel").text(), "Delete trajectory number 3");
        Click(d, "okButton");
    });
    dialog.exec();
    ASSERT_EQ(theCase.TrajectoryCount(), 4);
    EXPECT_EQ(theCase.TrajectoryNumbered(2)->label, "t2");
    EXPECT_EQ(theCase.TrajectoryNumbered(3)->label, "t4");
    EXPECT_EQ(theCase.TrajectoryNumbered(4)->label, "t5");
    // The editor's posed case is numbered as the case now is.
    ASSERT_EQ(editor.GetPosed().GetTrajectories().size(), 4u);
    EXPECT_EQ(editor.GetPosed().GetTrajectories()[2].number, 3);
    EXPECT_EQ(editor.GetPosed().GetCase().TrajectoryNumbered(3)->label, "t4");
    EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 0);
    EXPECT_EQ(redraws, 1);

    theCase.elements.resize(2);
    view.SelectElement(2);
    WhenModal<ConfirmDeleteDialog>([](ConfirmDeleteDialog& d) {
        EXPECT_EQ(Child<QLabel>(d, "messageLabel").text(), "Delete element number 2");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    dialog.exec();
    EXPECT_EQ(theCase.ElementCount(), 2);
    EXPECT_EQ(view.GetSelectedElementNumber(), 2);
    EXPECT_EQ(redraws, 1);
}
