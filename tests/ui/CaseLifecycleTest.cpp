#include "MainWindowFixture.h"

#include "casefile/DataFile.h"
#include "ui/CaseCommands.h"
#include "ui/CaseSession.h"
#include "ui/RecoveryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUndoStack>

namespace {

// A data file holding `count` trajectories labelled `label`.
bool WriteLifecycleCase(const QString& path, int count, const std::string& label) {
    Case theCase;
    theCase.body.SetHeight(1.8);
    for (int n = 0; n < count; ++n) {
        Trajectory trajectory;
        trajectory.exited = true;
        trajectory.in = {0.1, 1.2 - 0.01 * n, 0.05};
        trajectory.out = {-0.1, 1.3, 0.25};
        trajectory.label = label;
        theCase.trajectories.push_back(trajectory);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    const std::string text = DataFile::Format(theCase);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(text.data(), qint64(text.size())) == qint64(text.size());
}

QByteArray LifecycleFileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class CaseLifecycleTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(folder.isValid());
        starting = std::make_unique<Case>(TheCase());
    }
    void TearDown() override {
        starting.reset();
        MainWindowFixture::TearDown();
    }

    QUndoStack& History() { return frame->GetUndoStack(); }
    // A key pressed on the window, as a person would.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(frame.get(), key, modifiers);
    }
    // A trajectory made as the New trajectory dialog makes it: one edit.
    void TypeTrajectory(const std::string& label) {
        Trajectory trajectory;
        trajectory.exited = true;
        trajectory.in = {-0.3, 1.0, 0.5};
        trajectory.out = {0.3, 1.0, 0.5};
        trajectory.label = label;
        ASSERT_TRUE(Editor().AddTrajectory("New trajectory", trajectory));
    }
    // Opens `path` with Ctrl+D; the questions' answers are queued before.
    void OpenWithKeys(const QString& path) {
        platform.QueueOpenFile(path);
        Press(Qt::Key_D);
    }
    QString Title(const QString& fileName = {}) const {
        return MainWindow::FrameTitle() + (fileName.isEmpty() ? "" : " - " + fileName) + "[*]";
    }

    QTemporaryDir folder;
    std::unique_ptr<Case> starting; // the case the window started with
};

} // namespace

TEST_F(CaseLifecycleTest, NewCaseAsksFirstAndLeavesAnEmptyCaseOnTheStartingBody) {
    ASSERT_TRUE(Editor().EditBody("Body parameters", [](Body& body) { body.SetHeight(1.95); }));
    TypeTrajectory("typed");
    TheViewState().SelectTrajectory(1);
    ASSERT_TRUE(frame->isWindowModified());

    platform.QueueSaveChanges(SaveChangesAnswer::Cancel);
    Press(Qt::Key_N);
    EXPECT_EQ(platform.SaveChangesQuestions(), 1);
    EXPECT_EQ(TheCase().TrajectoryCount(), 1) << "Cancel keeps the case";
    EXPECT_EQ(History().count(), 2);
    EXPECT_TRUE(frame->isWindowModified());

    // Save, with the chooser cancelled, saves nothing and keeps the case too.
    platform.QueueSaveChanges(SaveChangesAnswer::Save);
    Press(Qt::Key_N);
    EXPECT_EQ(platform.SaveRequests().size(), 1u);
    EXPECT_EQ(TheCase().TrajectoryCount(), 1);

    // Save with a file chosen: the case is written, then the new case is there.
    const std::string saved = DataFile::Format(TheCase());
    frame->GetSession().UpdateRecoveryFile();
    const QString recovery = frame->GetSession().GetRecoveryFile().FilePath();
    ASSERT_TRUE(QFile::exists(recovery));
    platform.QueueSaveChanges(SaveChangesAnswer::Save);
    platform.QueueSaveFile(folder.filePath("first"));
    Press(Qt::Key_N);
    EXPECT_EQ(LifecycleFileBytes(folder.filePath("first.txt")).toStdString(), saved);
    EXPECT_TRUE(TheCase() == *starting) << "empty, on the body the program started with";
    EXPECT_EQ(TheCase().body.GetModel(), starting->body.GetModel());
    EXPECT_EQ(TheViewState().GetSelectedTrajectoryNumber(), 0);
    EXPECT_FALSE(frame->isWindowModified());
    EXPECT_EQ(History().count(), 0) << "nothing to undo into the old case";
    EXPECT_EQ(frame->windowTitle(), Title());
    EXPECT_TRUE(Commands().GetDataFile().isEmpty());
    EXPECT_FALSE(QFile::exists(recovery));

    // A new case has no file: Ctrl+S asks for one, in the start folder with no name.
    TypeTrajectory("second");
    platform.QueueSaveFile(folder.filePath("second.txt"));
    Press(Qt::Key_S);
    ASSERT_EQ(platform.SaveRequests().size(), 3u);
    EXPECT_TRUE(platform.SaveRequests().back().initialName.isEmpty());
    EXPECT_EQ(LifecycleFileBytes(folder.filePath("second.txt")).toStdString(),
              DataFile::Format(TheCase()));
    EXPECT_EQ(frame->windowTitle(), Title("second.txt"));

    // Nothing unsaved: no question at all.
    Press(Qt::Key_N);
    EXPECT_EQ(platform.SaveChangesQuestions(), 3);
    EXPECT_EQ(TheCase().TrajectoryCount(), 0);
}

TEST_F(CaseLifecycleTest, SaveWritesTheCasesOwnFileInPlaceWithoutAChooser) {
    const QString path = folder.filePath("cases/case.txt");
    ASSERT_TRUE(WriteLifecycleCase(path, 2, "read"));
    OpenWithKeys(path);
    ASSERT_EQ(TheCase().TrajectoryCount(), 2);
    EXPECT_EQ(frame->windowTitle(), Title("case.txt"));
    EXPECT_FALSE(frame->isWindowModified());
    platform.ClearRecords(); // the chooser's note on the test's missing data folder

    ASSERT_TRUE(Editor().DeleteTrajectory("Delete trajectory", 1));
    EXPECT_TRUE(frame->isWindowModified());
    Press(Qt::Key_S);
    EXPECT_TRUE(platform.SaveRequests().empty());
    EXPECT_EQ(LifecycleFileBytes(path).toStdString(), DataFile::Format(TheCase()));
    EXPECT_FALSE(frame->isWindowModified());
    EXPECT_EQ(frame->windowTitle(), Title("case.txt"));
    EXPECT_TRUE(platform.Messages().empty());

    // "Save changes?" answered Save saves in place too.
    TypeTrajectory("added");
    platform.QueueSaveChanges(SaveChangesAnswer::Save);
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(platform.SaveRequests().empty());
    EXPECT_EQ(LifecycleFileBytes(path).toStdString(), DataFile::Format(TheCase()));
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    frame->activateWindow();
    QApplication::processEvents();

    // A file that cannot be written is reported; the case stays unsaved.
    TypeTrajectory("unsaved");
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkpath(path)); // a folder where the file was
    Press(Qt::Key_S);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, "Save data");
    EXPECT_TRUE(frame->isWindowModified());
    EXPECT_TRUE(platform.SaveRequests().empty());
}

TEST_F(CaseLifecycleTest, TheSaveChooserStartsInTheCasesFolderWithItsName) {
    const QString path = folder.filePath("cases/case.txt");
    ASSERT_TRUE(WriteLifecycleCase(path, 1, "read"));
    OpenWithKeys(path);
    Press(Qt::Key_D, Qt::AltModifier); // Save data file, the chooser cancelled
    ASSERT_EQ(platform.SaveRequests().size(), 1u);
    const FileChooserRequest& request = platform.SaveRequests()[0];
    EXPECT_EQ(request.title, "Save data");
    EXPECT_EQ(request.initialFolder, folder.filePath("cases"));
    EXPECT_EQ(request.initialName, "case.txt");
    EXPECT_EQ(request.replaceWithoutAsking, path) << "its own file is replaced without asking";
    EXPECT_EQ(request.savedExtension, ".txt");

    // Saved under another name, the case's file is that one.
    platform.QueueSaveFile(folder.filePath("elsewhere/copy"));
    ASSERT_TRUE(QDir().mkpath(folder.filePath("elsewhere")));
    Press(Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(frame->windowTitle(), Title("copy.txt"));
    Press(Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(platform.SaveRequests().back().initialFolder, folder.filePath("elsewhere"));
    EXPECT_EQ(platform.SaveRequests().back().initialName, "copy.txt");
}

TEST_F(CaseLifecycleTest, ReopeningTheCasesOwnFileAsksAndNeverDoublesIt) {
    const QString path = folder.filePath("cases/case.txt");
    ASSERT_TRUE(WriteLifecycleCase(path, 4, "four"));
    OpenWithKeys(path);
    ASSERT_EQ(TheCase().TrajectoryCount(), 4);
    EXPECT_TRUE(platform.Choices().empty()) << "read into an empty case: nothing to ask";

    OpenWithKeys(path); // the question cancelled
    ASSERT_EQ(platform.Choices().size(), 1u);
    EXPECT_EQ(platform.Choices()[0].choices, (QStringList{"Reload", "Cancel"}));
    EXPECT_TRUE(platform.Choices()[0].text.contains("case.txt"));
    EXPECT_EQ(TheCase().TrajectoryCount(), 4);
    // Dropped on the window, or named another way: the same file, the same question.
    frame->OpenFiles({folder.filePath("cases/../cases/case.txt")});
    EXPECT_EQ(platform.Choices().size(), 2u);
    EXPECT_EQ(TheCase().TrajectoryCount(), 4);
    EXPECT_FALSE(frame->isWindowModified());

    // Reload after a change: the change is asked about first, then the file's case is back.
    ASSERT_TRUE(Editor().DeleteTrajectory("Delete trajectory", 1));
    platform.QueueSaveChanges(SaveChangesAnswer::Discard);
    platform.QueueChoice(0);
    OpenWithKeys(path);
    EXPECT_EQ(platform.SaveChangesQuestions(), 1);
    EXPECT_EQ(TheCase().TrajectoryCount(), 4);
    EXPECT_FALSE(frame->isWindowModified());
    EXPECT_EQ(History().count(), 0);
    EXPECT_EQ(Commands().GetDataFile(), path);
    EXPECT_EQ(frame->windowTitle(), Title("case.txt"));
}

TEST_F(CaseLifecycleTest, OpeningIntoACaseWithEntriesOffersToAddOrToReplace) {
    TypeTrajectory("typed");
    const QString other = folder.filePath("other.txt");
    ASSERT_TRUE(WriteLifecycleCase(other, 2, "other"));

    platform.QueueSaveChanges(SaveChangesAnswer::Discard);
    OpenWithKeys(other); // the question cancelled
    ASSERT_EQ(platform.Choices().size(), 1u);
    EXPECT_EQ(platform.Choices()[0].text,
              "The case holds 1 trajectory and no elements.\nAdd the trajectories and elements "
              "of other.txt to them, or replace the case with the file?");
    EXPECT_EQ(platform.Choices()[0].choices, (QStringList{"Add", "Replace", "Cancel"}));
    EXPECT_EQ(TheCase().TrajectoryCount(), 1);

    // Add: one edit, and the case still has no file of its own.
    platform.QueueSaveChanges(SaveChangesAnswer::Discard);
    platform.QueueChoice(0);
    OpenWithKeys(other);
    EXPECT_EQ(TheCase().TrajectoryCount(), 3);
    EXPECT_EQ(History().undoText(), "Open data file");
    EXPECT_TRUE(Commands().GetDataFile().isEmpty());
    EXPECT_EQ(frame->windowTitle(), Title());

    // Replace with a file that is no data file: reported, the case as it was.
    const QString junk = folder.filePath("junk.txt");
    QFile junkFile(junk);
    ASSERT_TRUE(junkFile.open(QIODevice::WriteOnly));
    junkFile.write("not a case\n");
    junkFile.close();
    const size_t messagesBefore = platform.Messages().size();
    platform.QueueSaveChanges(SaveChangesAnswer::Discard);
    platform.QueueChoice(1);
    OpenWithKeys(junk);
    ASSERT_EQ(platform.Messages().size(), messagesBefore + 1);
    EXPECT_EQ(platform.Messages().back().caption, "Open data");
    EXPECT_EQ(TheCase().TrajectoryCount(), 3);

    // Replace: the file's case alone, on the starting body, with a history of its own.
    platform.QueueSaveChanges(SaveChangesAnswer::Discard);
    platform.QueueChoice(1);
    OpenWithKeys(other);
    ASSERT_EQ(TheCase().TrajectoryCount(), 2);
    EXPECT_EQ(TrajectoryNumbered(1).label, "other");
    EXPECT_EQ(TheCase().body.GetModel(), starting->body.GetModel());
    EXPECT_FALSE(frame->isWindowModified());
    EXPECT_EQ(History().count(), 0);
    EXPECT_EQ(Commands().GetDataFile(), other);
    EXPECT_EQ(frame->windowTitle(), Title("other.txt"));

    // A file read in part (more trajectories than a case holds) is not the case's own: saving
    // in place would write the part over the whole.
    const QString big = folder.filePath("big.txt");
    ASSERT_TRUE(WriteLifecycleCase(big, Case::kMaxTrajectories + 5, "big"));
    const QByteArray bigBytes = LifecycleFileBytes(big);
    platform.QueueChoice(1);
    OpenWithKeys(big);
    EXPECT_EQ(TheCase().TrajectoryCount(), Case::kMaxTrajectories);
    EXPECT_TRUE(Commands().GetDataFile().isEmpty());
    Press(Qt::Key_S); // asks for a file, cancelled
    EXPECT_EQ(platform.SaveRequests().size(), 1u);
    EXPECT_EQ(LifecycleFileBytes(big), bigBytes);
}
