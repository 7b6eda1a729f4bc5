#include "DialogsTestSupport.h"
#include "MainWindowFixture.h"

#include "casefile/DataFile.h"
#include "ui/CaseInfoDialog.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUndoStack>

using CaseInfoDialogTest = MainWindowFixture;

TEST_F(CaseInfoDialogTest, RefusedFieldsKeepTheDialogOpenAndOkIsOneUndoableEdit) {
    using Field = CaseInfo::Field;
    int rounds = 0;
    WhenModal<CaseInfoDialog>([this, &rounds](CaseInfoDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Case information");
        d.LineField(Field::Number)->setText("  2026-0412  ");
        d.LineField(Field::Examiner)->setText("Dr. R. Amsel");
        d.LineField(Field::Incident)->setText("2026-02-30");
        d.LineField(Field::Decedent)->setText("D-17 [*]");
        d.NotesField()->setPlainText("Two shots.\nOne through the arm.");
        QPushButton& ok = Child<QPushButton>(d, "okButton");
        ok.click();
        // A day that is no day: said, and the dialog stays open on the field.
        ++rounds;
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(platform.Messages().size(), 1u);
        EXPECT_EQ(platform.Messages()[0].text,
                  "Date of the incident must be a date written yyyy-mm-dd, for example "
                  "2026-03-14.");
        EXPECT_EQ(platform.Messages()[0].caption, "Case information");
        EXPECT_TRUE(TheCase().info.IsEmpty()) << "nothing changed yet";
        d.LineField(Field::Incident)->setText("2026-02-28");
        ok.click();
        EXPECT_FALSE(d.isVisible());
    });
    Trigger(Command::CaseInformation);
    EXPECT_EQ(rounds, 1);
    const CaseInfo& info = TheCase().info;
    EXPECT_EQ(info.Number(), "2026-0412") << "blanks at the ends go";
    EXPECT_EQ(info.Incident(), "2026-02-28");
    EXPECT_EQ(info.Notes(), "Two shots.\nOne through the arm.");
    QUndoStack* history = frame->findChild<QUndoStack*>();
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->count(), 1);
    EXPECT_EQ(history->undoText(), "Case information");
    // The title names the case after the program (a "[*]" typed shows as typed).
    const QString program = QStringLiteral("kestrane.example - Ruvolane 2.7.0");
    EXPECT_EQ(frame->windowTitle(), program + " - Case 2026-0412, decedent D-17 [*][*][*]");

    // Saved, the file's name comes first; undone, the case information goes with one step.
    QTemporaryDir folder;
    const QString file = folder.filePath("case.txt");
    platform.QueueSaveFile(file);
    Trigger(Command::SaveDataFile);
    EXPECT_EQ(frame->windowTitle(),
              program + " - case.txt - Case 2026-0412, decedent D-17 [*][*][*]");
    history->undo();
    EXPECT_TRUE(TheCase().info.IsEmpty());
    EXPECT_EQ(frame->windowTitle(), program + " - case.txt[*]");

    // The dialog shows what the case holds, and Cancel changes nothing.
    history->redo();
    WhenModal<CaseInfoDialog>([](CaseInfoDialog& d) {
        EXPECT_EQ(d.LineField(Field::Examiner)->text(), "Dr. R. Amsel");
        d.LineField(Field::Examiner)->setText("someone else");
        Child<QPushButton>(d, "cancelButton").click();
    });
    Trigger(Command::CaseInformation);
    EXPECT_EQ(TheCase().info.Examiner(), "Dr. R. Amsel");
    EXPECT_EQ(history->count(), 1);
}
