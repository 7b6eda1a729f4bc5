#include "DialogsTestSupport.h"
#include "MainWindowFixture.h"

#include "casefile/DataFile.h"
#include "ui/NewTrajectoryDialog.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUndoStack>

namespace {

class EditTrajectoryTest : public MainWindowFixture {
protected:
    QUndoStack& History() { return frame->GetUndoStack(); }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&View(), static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents();
    }

    QTemporaryDir folder;
};

// Types into the field that has the keyboard, as a person does, and returns its name.
QString TypeHere(QDialog& dialog, const QString& text) {
    QWidget* field = dialog.focusWidget();
    if (field == nullptr) {
        return QString();
    }
    QTest::keyClicks(field, text);
    return field->objectName();
}

// Presses Tab in the dialog and returns the name of the widget that has the keyboard then.
QString TabOn(QDialog& dialog) {
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
    return dialog.focusWidget() != nullptr ? dialog.focusWidget()->objectName() : QString();
}

QString FieldText(QDialog& dialog, const char* name) {
    return Child<QLineEdit>(dialog, name).text();
}

} // namespace

TEST_F(EditTrajectoryTest, TabTakesTheSixCoordinatesInTheDocumentedOrderIntoTheSavedFile) {
    // The measurement sheet: IN (10, 150, 5), OUT (-10, 140, 20), typed without looking.
    QStringList typedInto;
    WhenModal<NewTrajectoryDialog>([&typedInto](NewTrajectoryDialog& d) {
        const char* const values[6] = {"10", "150", "5", "-10", "140", "20"};
        for (int index = 0; index < 6; ++index) {
            typedInto << TypeHere(d, values[index]);
            if (index < 5) {
                TabOn(d);
            }
        }
        QTest::keyClick(d.focusWidget(), Qt::Key_Return); // Compute, the default button
    });
    Key(Qt::Key_N);
    EXPECT_EQ(typedInto, QStringList({"inX", "inY", "inZ", "outX", "outY", "outZ"}));
    ASSERT_EQ(TheCase().TrajectoryCount(), 1);

    const QString path = folder.filePath("typed.txt");
    platform.QueueSaveFile(path);
    Key(Qt::Key_D, Qt::AltModifier);
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    Case reopened;
    const DataFileReadResult read = DataFile::ReadText(reopened, saved.readAll().toStdString());
    EXPECT_FALSE(read.LeftSomethingOut()) << read.LeftOutMessage();
    ASSERT_EQ(reopened.TrajectoryCount(), 1);
    const Trajectory& kept = *reopened.TrajectoryNumbered(1);
    EXPECT_NEAR(kept.in.x, 0.10, 1e-9);
    EXPECT_NEAR(kept.in.y, 1.50, 1e-9);
    EXPECT_NEAR(kept.in.z, 0.05, 1e-9);
    EXPECT_NEAR(kept.out.x, -0.10, 1e-9);
    EXPECT_NEAR(kept.out.y, 1.40, 1e-9);
    EXPECT_NEAR(kept.out.z, 0.20, 1e-9);

    // After z2 the keyboard goes on through the newer fields to the buttons, the fields of a
    // correction (hidden here) left out.
    QStringList after;
    WhenModal<NewTrajectoryDialog>([&after](NewTrajectoryDialog& d) {
        Child<QLineEdit>(d, "outZ").setFocus();
        for (int step = 0; step < 8; ++step) {
            after << TabOn(d);
        }
        // Space on the colour sample opens the chooser, as a click does.
        Child<QWidget>(d, "colorSwatch").setFocus();
        QTest::keyClick(d.focusWidget(), Qt::Key_Space);
    });
    Key(Qt::Key_N);
    EXPECT_EQ(after, QStringList({"inPartBox", "outPartBox", "insideBox", "colorSwatch",
                                  "uncertainty", "computeButton", "cancelButton", "inX"}));
    EXPECT_EQ(platform.ColorRequests().size(), 1u);
}

TEST_F(EditTrajectoryTest, AnEmptyOrMistypedCoordinateIsRefusedByNameAndTheTypingStays) {
    bool openAfterEmpty = false;
    bool openAfterMistyped = false;
    QStringList kept;
    QString focusAfterRefusal;
    WhenModal<NewTrajectoryDialog>([&](NewTrajectoryDialog& d) {
        const char* const values[5] = {"10", "150", "5", "-10", "140"};
        for (const char* value : values) {
            TypeHere(d, value);
            TabOn(d);
        }
        QTest::keyClick(d.focusWidget(), Qt::Key_Return); // z2 left empty
        openAfterEmpty = d.isVisible();
        for (const char* name : {"inX", "inY", "inZ", "outX", "outY", "outZ"}) {
            kept << FieldText(d, name);
        }
        focusAfterRefusal = d.focusWidget()->objectName();
        TypeHere(d, "2O"); // a letter O for a zero
        QTest::keyClick(d.focusWidget(), Qt::Key_Return);
        openAfterMistyped = d.isVisible();
        Child<QLineEdit>(d, "outZ").clear();
        TypeHere(d, "20 cm");
        Child<QLineEdit>(d, "uncertainty").clear(); // an empty radius is no exact point
        QTest::keyClick(d.focusWidget(), Qt::Key_Return);
        focusAfterRefusal += " " + d.focusWidget()->objectName();
        TypeHere(d, "1.5");
        QTest::keyClick(d.focusWidget(), Qt::Key_Return);
    });
    Key(Qt::Key_N);
    EXPECT_TRUE(openAfterEmpty);
    EXPECT_TRUE(openAfterMistyped);
    EXPECT_EQ(kept, QStringList({"10", "150", "5", "-10", "140", ""}));
    EXPECT_EQ(focusAfterRefusal, "outZ uncertainty");
    ASSERT_EQ(platform.Messages().size(), 3u);
    EXPECT_EQ(platform.Messages()[0].text, "z2 is empty: type a number in centimetres.");
    EXPECT_EQ(platform.Messages()[0].caption, "New trajectory");
    EXPECT_EQ(platform.Messages()[1].text,
              "z2 \"2O\" is not a number: type a number in centimetres.");
    EXPECT_TRUE(platform.Messages()[2].text.startsWith("Uncertainty is empty"));
    ASSERT_EQ(TheCase().TrajectoryCount(), 1) << "only the corrected typing made a trajectory";
    EXPECT_DOUBLE_EQ(TrajectoryNumbered(1).out.z, 0.2);
    EXPECT_DOUBLE_EQ(TrajectoryNumbered(1).radiusIn, 0.015);
    EXPECT_EQ(History().count(), 1);
}

TEST_F(EditTrajectoryTest, EditCorrectsInKeepsWhatItDoesNotShowAndIsOneUndoStep) {
    AddTrajectory([](Trajectory& t) {
        t.in = {-0.300004, 1.0, 0.5}; // finer than the field shows
        t.label = "entry wound";
        t.color = {0, 0, 1};
        t.offset = {0.05, 0, 0};
        t.yawAdjustment = 12;
        t.group = "A";
        t.inPart = "trunk";
        t.outPart = "trunk";
        t.radiusOut = 0.02;
        t.exterior = {ExteriorPoint{{-1.2, 1.1, 0.5}, true, 0.01}};
    });
    const Trajectory before = TrajectoryNumbered(1);

    // Ctrl+E with nothing selected says what to do.
    Key(Qt::Key_E, Qt::ControlModifier);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, "Edit trajectory");
    EXPECT_TRUE(platform.Messages()[0].text.startsWith("Select a trajectory first"));

    TheViewState().SelectTrajectory(1);
    // OK on what is shown changes nothing, not even by the fields' rounding.
    WhenModal<NewTrajectoryDialog>([](NewTrajectoryDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Edit trajectory");
        EXPECT_EQ(FieldText(d, "inX"), "-30.00");
        EXPECT_EQ(FieldText(d, "outUncertainty"), "2.0");
        EXPECT_FALSE(Child<QWidget>(d, "colorSwatch").isVisible());
        EXPECT_EQ(Child<QPlainTextEdit>(d, "exteriorPoints").toPlainText(), "-120 110 50 before\n");
        QTest::keyClick(d.focusWidget(), Qt::Key_Return);
    });
    Key(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(TrajectoryNumbered(1), before);
    EXPECT_EQ(History().count(), 0);

    // x1 corrected from -30 to -25 (the field opens selected) and OUT's uncertainty made IN's.
    WhenModal<NewTrajectoryDialog>([](NewTrajectoryDialog& d) {
        EXPECT_EQ(TypeHere(d, "-25"), "inX");
        Child<QLineEdit>(d, "outUncertainty").clear();
        QTest::keyClick(d.focusWidget(), Qt::Key_Return);
    });
    Key(Qt::Key_E, Qt::ControlModifier);
    const Trajectory& edited = TrajectoryNumbered(1);
    EXPECT_DOUBLE_EQ(edited.in.x, -0.25);
    EXPECT_EQ(edited.in.y, before.in.y);
    EXPECT_EQ(edited.out, before.out);
    EXPECT_FALSE(edited.radiusOut.has_value());
    EXPECT_EQ(edited.label, before.label);
    EXPECT_EQ(edited.color, before.color);
    EXPECT_EQ(edited.offset, before.offset);
    EXPECT_EQ(edited.yawAdjustment, before.yawAdjustment);
    EXPECT_EQ(edited.group, before.group);
    EXPECT_EQ(edited.exterior, before.exterior);
    EXPECT_EQ(edited.outPart, before.outPart);
    ASSERT_EQ(History().count(), 1);
    EXPECT_EQ(History().undoText(), "Edit trajectory");

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(TrajectoryNumbered(1), before);
}

TEST_F(EditTrajectoryTest, EditRefusesABadExteriorLineAndKeepsAnOlderFilesRuleUntilAPointMoves) {
    AddTrajectory([](Trajectory& t) { t.withArm = false; }); // an older file's: no parts
    TheViewState().SelectTrajectory(1);
    bool openAfterBadLine = false;
    WhenModal<NewTrajectoryDialog>([&openAfterBadLine](NewTrajectoryDialog& d) {
        Child<QPlainTextEdit>(d, "exteriorPoints").setPlainText("10 20 sideways");
        QTest::keyClick(d.focusWidget(), Qt::Key_Return);
        openAfterBadLine = d.isVisible();
        Child<QPlainTextEdit>(d, "exteriorPoints").setPlainText("");
        QTest::keyClick(&Child<QLineEdit>(d, "inZ"), Qt::Key_Return);
    });
    Trigger(Command::EditTrajectory);
    EXPECT_TRUE(openAfterBadLine);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, "Edit trajectory");
    EXPECT_FALSE(TrajectoryNumbered(1).HasParts()) << "nothing moved: the older rule stays";
    EXPECT_EQ(History().count(), 0);

    // IN typed anew takes the part nearest to it, and OUT its own nearest part.
    WhenModal<NewTrajectoryDialog>([](NewTrajectoryDialog& d) {
        Child<QLineEdit>(d, "inY").selectAll();
        QTest::keyClicks(&Child<QLineEdit>(d, "inY"), "120");
        QTest::keyClick(&Child<QLineEdit>(d, "inY"), Qt::Key_Return);
    });
    Trigger(Command::EditTrajectory);
    const Body& body = TheCase().body;
    EXPECT_EQ(TrajectoryNumbered(1).inPart, body.PartNearest({-0.3, 1.2, 0.5}));
    EXPECT_EQ(TrajectoryNumbered(1).outPart, body.PartNearest({0.3, 1.0, 0.5}));
    EXPECT_EQ(History().count(), 1);
}

TEST_F(EditTrajectoryTest, DoubleClickOnAnArrowOpensEditAndLeavesNoDragBehind) {
    AddTrajectory();
    QTest::keyClick(&View(), 'f');
    const QPoint onArrow = Project(0.0, 1.0, 0.5);
    QString title;
    WhenModal<NewTrajectoryDialog>([&title](NewTrajectoryDialog& d) {
        title = d.windowTitle();
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, onArrow);
    QTest::mouseDClick(&View(), Qt::LeftButton, Qt::NoModifier, onArrow);
    QApplication::processEvents();
    EXPECT_EQ(title, "Edit trajectory");
    EXPECT_EQ(TheViewState().GetSelectedTrajectoryNumber(), 1);

    // The button's release went to the dialog: moving the pointer afterwards drags nothing.
    TheViewState().SetManipulationMode(ManipulationMode::Move);
    TheViewState().SelectHandle(Handle::X);
    Move(onArrow + QPoint(200, 0), Qt::LeftButton);
    EXPECT_EQ(TrajectoryNumbered(1).offset, Vec3{});
    QTest::mouseRelease(&View(), Qt::LeftButton, Qt::NoModifier, onArrow + QPoint(200, 0));
    EXPECT_EQ(History().count(), 0);

    // A double click on empty space opens nothing.
    title.clear();
    WhenModal<NewTrajectoryDialog>([&title](NewTrajectoryDialog& d) { title = d.windowTitle(); });
    QTest::mouseDClick(&View(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QApplication::processEvents();
    EXPECT_TRUE(title.isEmpty());
}

// Edit trajectory lists the points between IN and OUT: OK on them as shown keeps them exactly;
// an added point left empty is refused by its number and field, the dialog staying open; a point
// typed in takes the part nearest to it; rows move and go; the whole correction is one edit.
TEST_F(EditTrajectoryTest, EditListsThePointsBetweenInAndOutAndCorrectsThemAsOneEdit) {
    AddTrajectory([](Trajectory& t) {
        t.inPart = "trunk";
        t.outPart = "trunk";
        t.points = {TrackPoint{{-0.100004, 1.0, 0.5}, 0.005, "trunk"},
                    TrackPoint{{0.1, 1.0, 0.5}, 0.01, ""}};
    });
    const Trajectory before = TrajectoryNumbered(1);
    TheViewState().SelectTrajectory(1);
    WhenModal<NewTrajectoryDialog>([](NewTrajectoryDialog& d) {
        const auto& table = Child<QTableWidget>(d, "trackPoints");
        EXPECT_TRUE(table.isVisible());
        EXPECT_EQ(table.rowCount(), 2);
        EXPECT_EQ(table.item(0, 0)->text(), "-10.00");
        EXPECT_EQ(table.item(0, 3)->text(), "0.5");
        Child<QPushButton>(d, "computeButton").click();
    });
    Trigger(Command::EditTrajectory);
    EXPECT_EQ(TrajectoryNumbered(1), before);
    EXPECT_EQ(History().count(), 0);

    QString refusal;
    WhenModal<NewTrajectoryDialog>([this, &refusal](NewTrajectoryDialog& d) {
        auto& table = Child<QTableWidget>(d, "trackPoints");
        table.setCurrentCell(0, 0);
        Child<QPushButton>(d, "addTrackPoint").click(); // after the first
        ASSERT_EQ(table.rowCount(), 3);
        EXPECT_EQ(table.currentRow(), 1);
        Child<QPushButton>(d, "computeButton").click();
        EXPECT_TRUE(d.isVisible());
        refusal = platform.Messages().empty() ? QString() : platform.Messages().back().text;
        table.item(1, 0)->setText("0");
        table.item(1, 1)->setText("120");
        table.item(1, 2)->setText("5 cm");
        Child<QPushButton>(d, "trackPointDown").click(); // now last
        table.setCurrentCell(1, 0);
        Child<QPushButton>(d, "removeTrackPoint").click(); // the second of before
        Child<QPushButton>(d, "computeButton").click();
    });
    Trigger(Command::EditTrajectory);
    EXPECT_EQ(refusal, "Point 2: x is empty: type a number in centimetres.");
    const Trajectory& edited = TrajectoryNumbered(1);
    ASSERT_EQ(edited.points.size(), 2u);
    EXPECT_EQ(edited.points[0], before.points[0]);
    EXPECT_NEAR(edited.points[1].point.y, 1.2, 1e-12);
    EXPECT_NEAR(edited.points[1].point.z, 0.05, 1e-12);
    EXPECT_EQ(edited.points[1].radius, TrackPoint::kDefaultRadius);
    EXPECT_EQ(edited.points[1].part, TheCase().body.PartNearest(edited.points[1].point));
    ASSERT_EQ(History().count(), 1);
    History().undo();
    EXPECT_EQ(TrajectoryNumbered(1), before);

    // A trajectory holding as many points as it may takes no more.
    Editor().EditTrajectory(1, "Test", [](Trajectory& t) {
        t.points.assign(Trajectory::kMaxTrackPoints, TrackPoint{{0, 1, 0.5}, 0.01, "trunk"});
    });
    bool canAdd = true;
    int rows = 0;
    WhenModal<NewTrajectoryDialog>([&canAdd, &rows](NewTrajectoryDialog& d) {
        auto& table = Child<QTableWidget>(d, "trackPoints");
        table.setCurrentCell(0, 0);
        canAdd = Child<QPushButton>(d, "addTrackPoint").isEnabled();
        Child<QPushButton>(d, "addTrackPoint").click();
        rows = table.rowCount();
        Child<QPushButton>(d, "cancelButton").click();
    });
    Trigger(Command::EditTrajectory);
    EXPECT_FALSE(canAdd);
    EXPECT_EQ(rows, Trajectory::kMaxTrackPoints);
}
