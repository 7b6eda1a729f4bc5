// Body > Uncertainty budget (Ctrl+U): the budget's sources set in the window, one edit written
// to the data file as its sigma and draws lines, and a preview of the active trajectory's cone.
#include "DialogsTestSupport.h"
#include "MainWindowFixture.h"

#include "ui/UncertaintyBudgetDialog.h"

#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QUndoStack>

namespace {

class UncertaintyBudgetDialogTest : public MainWindowFixture {
protected:
    QUndoStack& History() { return frame->GetUndoStack(); }
    const UncertaintyModel& Model() { return TheCase().body.GetUncertaintyModel(); }
    // Ctrl+U typed in the view, as a person opens the dialog.
    void OpenWithKey() { QTest::keyClick(&View(), Qt::Key_U, Qt::ControlModifier); }

    // The data file "Save data file" writes, as text.
    QString SavedFile(const QString& path) {
        platform.QueueSaveFile(path);
        EXPECT_TRUE(Commands().SaveDataFile());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll());
    }
};

// Replaces what a field holds by `text`, typed.
void TypeInto(QLineEdit& field, const QString& text) {
    field.setFocus();
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Delete);
    QTest::keyClicks(&field, text);
}

// Waits for the preview to say something other than `before`; what it says then.
QString PreviewAfter(QLabel& preview, const QString& before) {
    QDeadlineTimer deadline(5000);
    while (preview.text() == before && !deadline.hasExpired()) {
        QTest::qWait(20);
    }
    return preview.text();
}

} // namespace

TEST_F(UncertaintyBudgetDialogTest, CtrlUSetsTheSourcesAsOneEditWrittenToTheDataFile) {
    AddTrajectory([](Trajectory& trajectory) {
        trajectory.in = {-0.2, 1.4, 0.12};
        trajectory.out = {-0.2, 1.2, 0.08};
        trajectory.inPart = "right_arm";
        trajectory.outPart = "right_arm";
    });
    AddTrajectory();
    TheViewState().SelectTrajectory(1);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString before = SavedFile(folder.filePath("before.txt"));
    EXPECT_FALSE(before.contains("<sigma>"));

    bool shown = false;
    QString previews[2];
    WhenModal<UncertaintyBudgetDialog>([&](UncertaintyBudgetDialog& dialog) {
        shown = true;
        EXPECT_EQ(dialog.windowTitle(), "Uncertainty budget");
        // Every source has a field, filled with the case's figure; the joints are empty (as
        // every joint).
        for (const char* name :
             {"pose", "neck", "trunk", "right_shoulder", "right_elbow", "left_shoulder",
              "left_elbow", "right_hip", "right_knee", "left_hip", "left_knee", "tissue", "heading",
              "placement", "draws"}) {
            EXPECT_NE(dialog.Field(QString::fromLatin1(name)), nullptr) << name;
        }
        EXPECT_EQ(dialog.Field("pose")->text(), "0.00");
        EXPECT_EQ(dialog.Field("right_elbow")->text(), "");
        EXPECT_EQ(dialog.Field("draws")->text(), "100000");
        EXPECT_EQ(dialog.focusWidget(), dialog.Field("pose"));
        QLabel& preview = Child<QLabel>(dialog, "preview");
        previews[0] = preview.text();
        EXPECT_TRUE(previews[0].startsWith("Trajectory 1 (the active one): ± "))
            << previews[0].toStdString();
        EXPECT_TRUE(previews[0].contains("° at 95 %")) << previews[0].toStdString();

        // The preview follows the typing: the shoulder's spread widens the cone.
        TypeInto(*dialog.Field("pose"), "5");
        previews[1] = PreviewAfter(preview, previews[0]);
        TypeInto(*dialog.Field("right_elbow"), "10");
        TypeInto(*dialog.Field("tissue"), "0.5");
        TypeInto(*dialog.Field("draws"), "20000");
        QTest::keyClick(dialog.Field("draws"), Qt::Key_Return); // OK, the default button
    });
    OpenWithKey();
    ASSERT_TRUE(shown);
    EXPECT_NE(previews[1], previews[0]);
    EXPECT_TRUE(previews[1].contains("(a preview from 20000 draws; the budget makes 100000)"))
        << previews[1].toStdString();

    ASSERT_EQ(History().count(), 1);
    EXPECT_EQ(History().undoText(), "Uncertainty budget");
    EXPECT_DOUBLE_EQ(Model().poseSigma, 5.0);
    EXPECT_EQ(Model().jointSigma[static_cast<size_t>(skeleton::Joint::RightElbow)], 10.0);
    EXPECT_DOUBLE_EQ(Model().tissueSigma, 0.005);
    EXPECT_EQ(Model().draws, 20000);
    const QString after = SavedFile(folder.filePath("after.txt"));
    EXPECT_TRUE(after.contains("   <sigma>pose 5.00</sigma>\r\n"
                               "   <sigma>right_elbow 10.00</sigma>\r\n"
                               "   <sigma>tissue 0.0050</sigma>\r\n"
                               "   <draws>20000</draws>\r\n"))
        << after.toStdString();

    // Ctrl+Z takes the whole dialog back; the file is written as before.
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Model().IsDefault());
    EXPECT_EQ(SavedFile(folder.filePath("undone.txt")), before);
}

TEST_F(UncertaintyBudgetDialogTest,
       AValueThatDoesNotReadIsRefusedNamingItsFieldAndOkKeepsExactFigures) {
    // A figure with more decimals than the field shows, as a hand-written file may hold.
    ASSERT_TRUE(TheCase().body.GetUncertaintyModel().SetSigma("pose", 2.125).ok());
    ASSERT_TRUE(TheCase().body.GetUncertaintyModel().SetSigma("left_knee", 0).ok());
    Posed();

    struct Attempt {
        const char* field;
        const char* typed;
        const char* message;
    };
    const Attempt attempts[] = {
        {"tissue", "abc", "Soft tissue (cm): \"abc\" is not a number."},
        {"heading", "95", "Heading (°): 95 lies beyond 0 to 90 °."},
        {"placement", "-1", "Placement (cm): -1 lies beyond 0 to 100 cm."},
        {"draws", "200000", "Draws: 200000 is not a whole number from 1000 to 100000."},
        {"draws", "2500.5", "Draws: 2500.5 is not a whole number from 1000 to 100000."},
        {"pose", "", "Every joint (°) is empty: type 0 to leave the source out."},
    };
    for (const Attempt& attempt : attempts) {
        bool stayedOpen = false;
        QString preview;
        WhenModal<UncertaintyBudgetDialog>([&](UncertaintyBudgetDialog& dialog) {
            TypeInto(*dialog.Field(attempt.field), QString::fromUtf8(attempt.typed));
            dialog.accept();
            stayedOpen = dialog.isVisible();
            EXPECT_EQ(dialog.Field(attempt.field)->text(), QString::fromUtf8(attempt.typed));
            dialog.UpdatePreview();
            preview = Child<QLabel>(dialog, "preview").text();
        });
        Trigger(Command::UncertaintyBudget);
        EXPECT_TRUE(stayedOpen) << attempt.field;
        ASSERT_FALSE(platform.Messages().empty());
        EXPECT_EQ(platform.Messages().back().text, QString::fromUtf8(attempt.message));
        EXPECT_EQ(platform.Messages().back().caption, "Uncertainty budget");
        EXPECT_EQ(preview, "Preview: the case has no trajectory.");
    }
    EXPECT_EQ(History().count(), 0);

    // OK on what the dialog opened with changes nothing, though "2.12" is what it shows; an
    // emptied joint goes back to every joint's spread.
    WhenModal<UncertaintyBudgetDialog>([](UncertaintyBudgetDialog& dialog) {
        EXPECT_EQ(dialog.Field("pose")->text(), "2.12");
        EXPECT_EQ(dialog.Field("left_knee")->text(), "0.00");
        dialog.accept();
    });
    Trigger(Command::UncertaintyBudget);
    EXPECT_EQ(History().count(), 0);
    EXPECT_DOUBLE_EQ(Model().poseSigma, 2.125);
    WhenModal<UncertaintyBudgetDialog>([](UncertaintyBudgetDialog& dialog) {
        TypeInto(*dialog.Field("left_knee"), "");
        dialog.accept();
    });
    Trigger(Command::UncertaintyBudget);
    EXPECT_EQ(History().count(), 1);
    EXPECT_FALSE(Model().jointSigma[static_cast<size_t>(skeleton::Joint::LeftKnee)]);
    EXPECT_DOUBLE_EQ(Model().poseSigma, 2.125);
}
