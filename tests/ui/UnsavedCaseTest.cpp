#include "MainWindowFixture.h"

#include "casefile/DataFile.h"
#include "ui/CaseCommands.h"
#include "ui/CaseSession.h"
#include "ui/RecentFiles.h"
#include "ui/RecoveryFile.h"
#include "ui/ReportExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUndoStack>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const std::string& contents) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(contents.data(), qint64(contents.size())) == qint64(contents.size());
}

// The id of a process that has ended.
qint64 EndedProcessId() {
    QProcess process;
    process.start("sleep", {"0.05"});
    process.waitForStarted();
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

// A small case as a data file.
std::string CaseText(const std::string& label) {
    Case theCase;
    theCase.body.SetHeight(1.8);
    Trajectory trajectory;
    trajectory.exited = true;
    trajectory.in = {0.1, 1.2, 0.05};
    trajectory.out = {-0.1, 1.3, 0.25};
    trajectory.label = label;
    theCase.trajectories.push_back(trajectory);
    return DataFile::Format(theCase);
}

class UnsavedCaseTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(folder.isValid());
    }
    CaseSession& Session() { return frame->GetSession(); }
    QUndoStack& History() { return frame->GetUndoStack(); }

    // An unsaved change: a trajectory deleted.
    void MakeUnsavedChange() {
        AddTrajectory();
        Trigger(Command::DeleteAll);
        ASSERT_TRUE(frame->isWindowModified());
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(UnsavedCaseTest, ClosingAsksAndEachAnswerDoesWhatItSays) {
    frame->close(); // nothing unsaved: no question
    EXPECT_EQ(platform.SaveChangesQuestions(), 0);
    frame->show();
    MakeUnsavedChange();

    platform.QueueSaveChanges(SaveChangesAnswer::Cancel);
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());

    // Save whose chooser is cancelled saves nothing, so the window stays.
    platform.QueueSaveChanges(SaveChangesAnswer::Save);
    EXPECT_FALSE(frame->close());

    platform.QueueSaveChanges(SaveChangesAnswer::Discard);
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(History().count() == 1) << "Discard leaves the case as it is";

    frame->show();
    const QString saved = folder.filePath("case.txt");
    platform.QueueSaveChanges(SaveChangesAnswer::Save);
    platform.QueueSaveFile(saved);
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(platform.SaveChangesQuestions(), 4);
    EXPECT_EQ(ReadAll(saved).toStdString(), DataFile::Format(TheCase()));
    EXPECT_FALSE(frame->isWindowModified());
}

TEST_F(UnsavedCaseTest, NewDocumentAndOpeningAskFirst) {
    const QString file = folder.filePath("other.txt");
    ASSERT_TRUE(WriteAll(file, CaseText("other")));
    MakeUnsavedChange();

    platform.QueueSaveChanges(SaveChangesAnswer::Cancel);
    QTest::keyClick(frame.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(platform.SaveChangesQuestions(), 1);

    platform.QueueSaveChanges(SaveChangesAnswer::Cancel);
    Commands().OpenDataFile();
    platform.QueueSaveChanges(SaveChangesAnswer::Cancel);
    Commands().OpenBodyFile();
    platform.QueueSaveChanges(SaveChangesAnswer::Cancel);
    Commands().OpenDocument(file);
    EXPECT_TRUE(platform.OpenRequests().empty()) << "Cancel stops the command";
    EXPECT_EQ(TheCase().TrajectoryCount(), 0);

    platform.QueueSaveChanges(SaveChangesAnswer::Discard);
    platform.QueueOpenFile(file);
    Commands().OpenDataFile();
    EXPECT_EQ(platform.SaveChangesQuestions(), 5);
    EXPECT_EQ(TheCase().TrajectoryCount(), 1);
    EXPECT_EQ(History().undoText(), "Open data file");
    History().undo();
    EXPECT_EQ(TheCase().TrajectoryCount(), 0);
}

TEST_F(UnsavedCaseTest, RecentFilesKeepTheEightNewestAndReopen) {
    for (int n = 0; n < 10; ++n) {
        Session().GetRecentFiles().Remove(folder.filePath(QString("case%1.txt").arg(n)));
    }
    const QString first = folder.filePath("case0.txt");
    ASSERT_TRUE(WriteAll(first, CaseText("first")));
    platform.QueueOpenFile(first);
    Commands().OpenDataFile();
    EXPECT_FALSE(frame->isWindowModified()) << "read into an empty case, it is the file's case";
    for (int n = 1; n < 10; ++n) {
        platform.QueueSaveFile(folder.filePath(QString("case%1").arg(n)));
        ASSERT_TRUE(Commands().SaveDataFile());
    }
    const QStringList entries = RecentFiles().Entries();
    ASSERT_EQ(entries.size(), 8);
    EXPECT_EQ(entries.front(), folder.filePath("case9.txt"));
    EXPECT_EQ(entries.back(), folder.filePath("case2.txt"));

    auto* menu = frame->findChild<QMenu*>("recentFilesMenu");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 8);
    EXPECT_EQ(menu->actions().front()->text(), "&1 " + folder.filePath("case9.txt"));
    // case9.txt is the case's own file, which is never added again: the next one is added.
    platform.QueueChoice(0); // Add
    menu->actions()[1]->trigger();
    ASSERT_EQ(platform.Choices().size(), 1u);
    EXPECT_EQ(TheCase().TrajectoryCount(), 2);
    EXPECT_TRUE(frame->isWindowModified());
}

TEST_F(UnsavedCaseTest, TheRecoveryFileFollowsTheUnsavedChanges) {
    const QString path = Session().GetRecoveryFile().FilePath();
    MakeUnsavedChange();
    EXPECT_FALSE(QFile::exists(path)) << "written when the burst of edits is over";
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(path); }, 10000));
    EXPECT_EQ(ReadAll(path).toStdString(), DataFile::Format(TheCase()));
    History().undo(); // back to the saved case
    EXPECT_FALSE(QFile::exists(path));
}

// The file API's own codes used to be put into words by strerror: "Unknown error 65537".
TEST(RecoveryFileTest, AFileThatCannotBeReplacedIsRefusedInWords) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const RecoveryFile recovery(folder.path());
    ASSERT_TRUE(QDir().mkpath(recovery.FilePath())); // a folder where the file would be
    QString error;
    EXPECT_FALSE(recovery.Write("case", &error));
    EXPECT_EQ(error.toStdString(), "not a regular file");
}

TEST_F(UnsavedCaseTest, ALeftoverIsRecoveredOnYesAndKeptAsideOnNo) {
    RecoveryFile recovery(folder.path());
    const QString kept = folder.filePath(QString("recovery-%1.txt").arg(EndedProcessId()));
    ASSERT_TRUE(WriteAll(kept, CaseText("kept aside")));
    const QString recovered = folder.filePath(QString("recovery-%1.txt").arg(EndedProcessId()));
    ASSERT_TRUE(WriteAll(recovered, CaseText("recovered")));
    // The running program's own file is never offered.
    ASSERT_TRUE(recovery.Write("mine"));
    QFile keptFile(kept);
    ASSERT_TRUE(keptFile.open(QIODevice::ReadWrite));
    ASSERT_TRUE(keptFile.setFileTime(QDateTime(QDate(2026, 12, 8), QTime(9, 30, 5)),
                                     QFileDevice::FileModificationTime));
    keptFile.close();

    CaseSession session(Editor(), platform, History(), frame.get(), recovery);
    platform.QueueAnswer(false);
    platform.QueueAnswer(true);
    session.OfferRecovery();
    ASSERT_EQ(platform.Questions().size(), 2u);
    EXPECT_EQ(platform.Questions()[0].text, "Recover the unsaved case from 2026-12-08 09:30:05?");
    EXPECT_TRUE(QFile::exists(folder.filePath("unsaved case 2026-12-08 09-30-05.txt")));
    EXPECT_FALSE(QFile::exists(kept));

    ASSERT_EQ(TheCase().TrajectoryCount(), 1);
    EXPECT_EQ(TrajectoryNumbered(1).label, "recovered");
    EXPECT_TRUE(frame->isWindowModified()) << "a recovered case is unsaved";
    EXPECT_FALSE(QFile::exists(recovered));
    EXPECT_EQ(ReadAll(recovery.FilePath()).toStdString(), DataFile::Format(TheCase()));
    recovery.Remove();
}

// A leftover was skipped whenever its process number belonged to any live process, as it
// often does after a restart: the unsaved case was hidden. Only a recovery file whose program
// still runs is passed over.
TEST_F(UnsavedCaseTest, ALeftoverIsOfferedWhateverProcessNowHasItsNumber) {
    RecoveryFile recovery(folder.path());
    const auto leftover = [this](const QString& name, const char* label, int minute) {
        const QString path = folder.filePath(name);
        EXPECT_TRUE(WriteAll(path, CaseText(label)));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadWrite));
        EXPECT_TRUE(file.setFileTime(QDateTime(QDate(2026, 12, 8), QTime(9, minute, 0)),
                                     QFileDevice::FileModificationTime));
        return path;
    };
    // An earlier version's file named after a process that runs now (the first one always does).
    const QString first = leftover("recovery-1.txt", "first", 1);
    // This program's file with a lock naming this very process and program, as after a restart
    // that gave the test the crashed program's number.
    const QString stem = QString("recovery-%1-5").arg(QCoreApplication::applicationPid());
    const QString again = leftover(stem + ".txt", "again", 2);
    {
        // A lock as this process writes it, which no process holds any more.
        QLockFile model(folder.filePath("model.lock"));
        ASSERT_TRUE(model.tryLock(0));
        ASSERT_TRUE(WriteAll(folder.filePath(stem + ".lock"),
                             ReadAll(folder.filePath("model.lock")).toStdString()));
    }
    // Another running copy's file, and this session's own, are never offered.
    const RecoveryFile running(folder.path());
    ASSERT_TRUE(running.Write(CaseText("running")));
    ASSERT_TRUE(recovery.Write("mine"));

    CaseSession session(Editor(), platform, History(), frame.get(), recovery);
    platform.QueueAnswer(false);
    platform.QueueAnswer(false);
    session.OfferRecovery();
    ASSERT_EQ(platform.Questions().size(), 2u);
    EXPECT_EQ(platform.Questions()[0].text, "Recover the unsaved case from 2026-12-08 09:01:00?");
    EXPECT_EQ(platform.Questions()[1].text, "Recover the unsaved case from 2026-12-08 09:02:00?");
    EXPECT_FALSE(QFile::exists(first));
    EXPECT_FALSE(QFile::exists(again));
    EXPECT_FALSE(QFile::exists(folder.filePath(stem + ".lock"))) << "the stale lock went with it";
    EXPECT_TRUE(QFile::exists(running.FilePath()));
    EXPECT_TRUE(QFile::exists(recovery.FilePath()));
    EXPECT_EQ(RecoveryFile(folder.path()).FindLeftovers().size(), 0u);
    running.Remove();
    ASSERT_EQ(RecoveryFile(folder.path()).FindLeftovers().size(), 0u) << "removed, not left";
    recovery.Remove();
}

TEST_F(UnsavedCaseTest, ALeftoverThatIsNoDataFileIsReportedAndKeptAside) {
    RecoveryFile recovery(folder.path());
    const QString damaged = folder.filePath(QString("recovery-%1.txt").arg(EndedProcessId()));
    ASSERT_TRUE(WriteAll(damaged, std::string("\xff\xd8\xff\xe0\0\x10JFIF\0<x1>1</x1>", 21)));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2026, 12, 8), QTime(10, 0, 0)),
                                 QFileDevice::FileModificationTime));
    file.close();

    CaseSession session(Editor(), platform, History(), frame.get(), recovery);
    platform.QueueAnswer(true);
    session.OfferRecovery();
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text,
              QString("Cannot open data file \"%1\": not a data file").arg(damaged));
    EXPECT_EQ(TheCase().TrajectoryCount(), 0);
    EXPECT_FALSE(frame->isWindowModified()) << "nothing was read into the case";
    EXPECT_FALSE(QFile::exists(damaged));
    EXPECT_EQ(ReadAll(folder.filePath("unsaved case 2026-12-08 10-00-00.txt")).size(), 21)
        << "kept aside, whole";
}

TEST_F(UnsavedCaseTest, ALeftoverIsRecoveredWithEveryLabelWhole) {
    RecoveryFile recovery(folder.path());
    const std::string label(1300, '>'); // a 5,217-byte line once escaped
    const QString leftover = folder.filePath(QString("recovery-%1.txt").arg(EndedProcessId()));
    ASSERT_TRUE(WriteAll(leftover, CaseText(label)));

    CaseSession session(Editor(), platform, History(), frame.get(), recovery);
    platform.QueueAnswer(true);
    session.OfferRecovery();
    EXPECT_TRUE(platform.Messages().empty());
    ASSERT_EQ(TheCase().TrajectoryCount(), 1);
    EXPECT_EQ(TrajectoryNumbered(1).label, label);
    EXPECT_FALSE(QFile::exists(leftover));
    recovery.Remove();
}

TEST_F(UnsavedCaseTest, ALeftoverThatDidNotReadBackWholeIsRecoveredAndKeptAside) {
    RecoveryFile recovery(folder.path());
    const QString leftover = folder.filePath(QString("recovery-%1.txt").arg(EndedProcessId()));
    std::string text = CaseText("recovered");
    text.replace(text.find("<dPitch>"), 8, "<dPitch>1e308"); // a hand-edited value
    ASSERT_TRUE(WriteAll(leftover, text));

    CaseSession session(Editor(), platform, History(), frame.get(), recovery);
    platform.QueueAnswer(true);
    session.OfferRecovery();
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_TRUE(platform.Messages()[0].text.startsWith("The dPitch \"1e308"));
    ASSERT_EQ(TheCase().TrajectoryCount(), 1);
    EXPECT_EQ(TrajectoryNumbered(1).label, "recovered");
    EXPECT_FALSE(QFile::exists(leftover));
    const QStringList aside = QDir(folder.path()).entryList({"unsaved case *.txt"});
    ASSERT_EQ(aside.size(), 1) << "the leftover holds more than the case: it is kept";
    EXPECT_EQ(ReadAll(folder.filePath(aside[0])).toStdString(), text);
    recovery.Remove();
}

// Sends keys to whichever window of the display has the keyboard, as a person would.
void TypeKey(const QString& key) {
    QProcess::execute(QStandardPaths::findExecutable("xdotool"), {"key", key});
}

// Starts the program on the test's display, with its data and settings in `home`.
void StartProgram(QProcess& ruvo, const QTemporaryDir& home, const QStringList& arguments,
                  bool answerMessages) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", home.filePath("data"));
    environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
    environment.insert("QT_QPA_PLATFORM", "xcb");
    if (answerMessages) {
        environment.insert("RUVO_TEST_AUTOCLOSE_MESSAGES", "1");
    } else {
        environment.remove("RUVO_TEST_AUTOCLOSE_MESSAGES");
    }
    ruvo.setProcessEnvironment(environment);
    ruvo.setWorkingDirectory(RUVO_SOURCE_DIR);
    ruvo.start(RUVO_BINARY, arguments);
}

// The recovery file of the program with process id `pid` in `folder`, or an empty text.
QString RecoveryFileOf(const QString& folder, qint64 pid) {
    const QStringList found = QDir(folder).entryList({QString("recovery-%1-*.txt").arg(pid)});
    return found.isEmpty() ? QString() : QDir(folder).filePath(found.front());
}

// Presses `key`, then waits a few seconds for the recovery file of process `pid`, and again until
// it exists (at most about a minute): the first presses may come before the program has a
// window. Its path, or an empty text.
QString TypeUntilWritten(const QString& key, const QString& folder, qint64 pid) {
    for (int attempt = 0; attempt < 15; ++attempt) {
        TypeKey(key);
        if (QTest::qWaitFor([&] { return !RecoveryFileOf(folder, pid).isEmpty(); }, 4000)) {
            return RecoveryFileOf(folder, pid);
        }
    }
    return {};
}

TEST(RecoveryAfterKillTest, AKilledProgramsCaseIsOfferedAndRestoredAtTheNextStart) {
    ASSERT_FALSE(QStandardPaths::findExecutable("xdotool").isEmpty()) << "xdotool is needed";
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString folder = home.filePath("data/Ruvo");
    const QString saved = home.filePath("case.txt");
    ASSERT_TRUE(WriteAll(saved, CaseText("before the crash")));

    // The saved case, then one unsaved change (+ lights the body), then the program is killed.
    QProcess first;
    StartProgram(first, home, {saved}, true);
    ASSERT_TRUE(first.waitForStarted());
    const QString firstFile = TypeUntilWritten("plus", folder, first.processId());
    const bool written = !firstFile.isEmpty();
    first.kill(); // SIGKILL: no chance to clean up
    first.waitForFinished();
    ASSERT_TRUE(written) << first.readAllStandardError().toStdString();
    const QByteArray kept = ReadAll(firstFile);
    EXPECT_TRUE(kept.contains("before the crash"));

    // The next start asks; Return takes the default answer, Yes.
    QProcess second;
    StartProgram(second, home, {}, false);
    ASSERT_TRUE(second.waitForStarted());
    const QString secondFile = TypeUntilWritten("Return", folder, second.processId());
    const bool recovered = !secondFile.isEmpty();
    QTest::qWait(200); // the old file goes once the new one is written
    const QStringList left = QDir(folder).entryList({"*.txt"});
    second.kill();
    second.waitForFinished();
    ASSERT_TRUE(recovered) << second.readAllStandardError().toStdString();
    EXPECT_EQ(ReadAll(secondFile), kept) << "the recovered case, unsaved again";
    EXPECT_EQ(left, QStringList{QFileInfo(secondFile).fileName()});
}

TEST_F(UnsavedCaseTest, ARecoveredCaseComesBackWithItsSceneModel) {
    RecoveryFile recovery(folder.path());
    const QString room = folder.filePath(QStringLiteral("scans/room.obj"));
    ASSERT_TRUE(WriteAll(room, "v -3 0 -2\nv 3 0 -2\nv 3 2 -2\nf 1 2 3\n"));
    std::string text = CaseText("in a room");
    text.insert(text.rfind("</root>"),
                "<scene>\r\n  <model>" + room.toStdString() + "</model>\r\n</scene>\r\n");
    const QString leftover = folder.filePath(QString("recovery-%1.txt").arg(EndedProcessId()));
    ASSERT_TRUE(WriteAll(leftover, text));

    CaseSession session(Editor(), platform, History(), frame.get(), recovery);
    platform.QueueAnswer(true);
    session.OfferRecovery();
    EXPECT_TRUE(platform.Messages().empty()) << platform.Messages()[0].text.toStdString();
    EXPECT_EQ(TheCase().world.sceneModelFile, room.toStdString());
    EXPECT_TRUE(TheCase().world.sceneMesh) << "the zones would ignore the room";
    recovery.Remove();
}

// The report names the case's file while the file holds the case: a scene model saved by its
// name relative to the file's folder is the same case.
TEST(SavedCaseFileTest, ACaseWithItsSceneModelBesideItIsTheSavedOne) {
    QTemporaryDir folder;
    Case theCase;
    theCase.world.sceneModelFile = folder.filePath(QStringLiteral("room.obj")).toStdString();
    const QString path = folder.filePath(QStringLiteral("case.txt"));
    ASSERT_TRUE(DataFile::Write(theCase, path.toStdString()).ok());
    ASSERT_NE(ReadAll(path).indexOf("<model>room.obj</model>"), -1);
    EXPECT_EQ(SavedCaseFile(theCase, path), path);
    theCase.world.muzzleHeights = {1.2};
    EXPECT_EQ(SavedCaseFile(theCase, path), QString());
}
