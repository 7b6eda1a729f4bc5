#include "MainWindowFixture.h"

#include "CtPhantom.h"
#include "casefile/DataFile.h"
#include "ui/BodyParametersDialog.h"
#include "ui/CtSeriesCommands.h"
#include "ui/CtSliceDock.h"
#include "ui/PosturePanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>

namespace {

const QString kCtWindowPostureReason =
    QStringLiteral("The body is a CT scan: its posture is the posture it was scanned in.");

class CtSeriesWindow : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(folder.isValid());
    }

    // The cylinder phantom (80 slices, "CT phantom") in a folder below the test's own.
    QString WritePhantom(const QString& name, const CtPhantomOptions& options = {}) {
        const QString path = folder.filePath(name);
        const Status written = WriteCtPhantom(QFile::encodeName(path).toStdString(), options);
        EXPECT_TRUE(written.ok()) << written.message();
        return path;
    }

    bool PosingOff() {
        const CommandSet& commands = frame->GetCommandSet();
        return !commands.Action(Command::PosturePanel)->isEnabled() &&
               !commands.Action(Command::AlignWounds)->isEnabled();
    }

    QTemporaryDir folder;
};

} // namespace

// Opening a series is one edit on the case: a Cancel leaves the case as it was and makes no
// edit; once read, the skin is the body, the trajectories stay, posing is off with its reason,
// the title and the status bar name the series, and Undo brings the body model back.
TEST_F(CtSeriesWindow, OpenCancelAndUndoOfACtSeries) {
    const QString phantom = WritePhantom("phantom");
    AddTrajectory();
    const std::string before = DataFile::Format(TheCase());
    const Mesh* model = TheCase().body.GetModel();
    QUndoStack& history = frame->GetUndoStack();
    const int edits = history.count();

    platform.CancelProgressAt(1);
    EXPECT_FALSE(frame->OpenCtSeriesFolder(phantom));
    EXPECT_EQ(DataFile::Format(TheCase()), before);
    EXPECT_EQ(TheCase().body.GetModel(), model);
    EXPECT_FALSE(TheCase().ct.IsCtBody());
    EXPECT_EQ(history.count(), edits);
    EXPECT_TRUE(platform.Messages().empty()) << "a cancel is the user's choice";
    EXPECT_EQ(platform.ProgressWindowsOpened(), 1);
    EXPECT_FALSE(platform.ProgressWindowOpen());
    EXPECT_FALSE(PosingOff());

    platform.CancelProgressAt(0);
    platform.QueueOpenFile(phantom);
    Trigger(Command::OpenCtSeries);
    ASSERT_TRUE(platform.Messages().empty()) << platform.Messages()[0].text.toStdString();
    ASSERT_FALSE(platform.OpenRequests().empty());
    EXPECT_TRUE(platform.OpenRequests().back().folder);
    EXPECT_EQ(platform.OpenRequests().back().title, "Open CT series");
    ASSERT_TRUE(TheCase().ct.scan);
    EXPECT_EQ(TheCase().ct.seriesUid, CtPhantomOptions().seriesUid);
    EXPECT_NE(TheCase().body.GetModel(), model);
    EXPECT_EQ(TheCase().TrajectoryCount(), 1);
    EXPECT_EQ(history.count(), edits + 1);
    EXPECT_EQ(history.undoText(), "Open CT series");
    EXPECT_EQ(Editor().GetPosed().GetCase().body.GetModel(), TheCase().body.GetModel());

    EXPECT_TRUE(PosingOff());
    EXPECT_EQ(frame->GetCommandSet().Action(Command::PosturePanel)->toolTip(),
              kCtWindowPostureReason);
    EXPECT_EQ(frame->GetCommandSet().Action(Command::AlignWounds)->statusTip(),
              kCtWindowPostureReason);
    EXPECT_FALSE(frame->GetPosturePanel().isEnabled());
    EXPECT_TRUE(frame->GetBodyNote().isVisibleTo(frame.get()));
    EXPECT_TRUE(frame->GetBodyNote().text().contains("CT body: CT phantom"));
    EXPECT_TRUE(frame->windowTitle().contains("CT body: CT phantom"));
    EXPECT_TRUE(frame->GetSliceDock().toggleViewAction()->isEnabled());
    Trigger(Command::AlignWounds); // a disabled item does nothing
    EXPECT_TRUE(platform.Messages().empty());

    history.undo();
    EXPECT_EQ(TheCase().body.GetModel(), model);
    EXPECT_FALSE(TheCase().ct.IsCtBody());
    EXPECT_EQ(DataFile::Format(TheCase()), before);
    EXPECT_FALSE(PosingOff());
    EXPECT_TRUE(frame->GetPosturePanel().isEnabled());
    EXPECT_FALSE(frame->GetBodyNote().isVisibleTo(frame.get()));
    EXPECT_FALSE(frame->windowTitle().contains("CT body"));
    EXPECT_FALSE(frame->GetSliceDock().toggleViewAction()->isEnabled());
    history.redo();
    EXPECT_TRUE(TheCase().ct.scan);
    EXPECT_TRUE(PosingOff());

    // A body model opened over the scan ends the CT body.
    const QString body =
        QFileInfo(QString::fromStdString(DefaultModelFiles().body)).absoluteFilePath();
    platform.QueueSaveChanges(SaveChangesAnswer::Discard);
    frame->OpenFiles({body});
    EXPECT_FALSE(TheCase().ct.IsCtBody());
    EXPECT_FALSE(PosingOff());
}

// The body parameters of a CT body: its name may change, its height and scales may not, and
// OK keeps its length to the last digit (the field shows it rounded to a millimetre).
TEST_F(CtSeriesWindow, BodyParametersKeepTheScansSize) {
    ASSERT_TRUE(frame->OpenCtSeriesFolder(WritePhantom("phantom")));
    const float height = TheCase().body.GetHeight();
    BodyParametersDialog& dialog = Commands().GetBodyDialog();
    bool heightEnabled = true, scaleEnabled = true;
    QString tip;
    QTimer::singleShot(0, &dialog, [&] {
        heightEnabled = dialog.findChild<QLineEdit*>("heightField")->isEnabled();
        scaleEnabled = dialog.findChild<QSlider*>("sliderScaleX")->isEnabled();
        tip = dialog.findChild<QLineEdit*>("heightField")->toolTip();
        dialog.findChild<QLineEdit*>("nameField")->setText("decedent scan");
        dialog.accept();
    });
    dialog.exec();
    EXPECT_FALSE(heightEnabled);
    EXPECT_FALSE(scaleEnabled);
    EXPECT_EQ(tip, kCtWindowPostureReason);
    EXPECT_EQ(TheCase().body.GetName(), "decedent scan");
    EXPECT_EQ(TheCase().body.GetHeight(), height);
    EXPECT_EQ(TheCase().body.GetScaleX(), 1.0);
}

// A folder of several series offers each (UID, description, slices; the one with the most
// first), reads the one chosen, and a Cancel reads none; a folder without a series says so.
TEST_F(CtSeriesWindow, SeveralSeriesAreChosenFromAndAnEmptyFolderIsReported) {
    const QString phantom = WritePhantom("two");
    CtPhantomOptions other;
    other.size = {64, 64, 40};
    other.seriesUid = "1.2.826.0.1.3680043.10.1041.2";
    other.description = "Short series";
    other.fileNamePrefix = "short";
    WritePhantom("two", other);

    platform.QueueChoice(1);
    ASSERT_TRUE(Commands().OpenCtSeriesFolder(phantom));
    ASSERT_EQ(platform.Choices().size(), 1u);
    const ScriptedPlatform::Choice& choice = platform.Choices()[0];
    ASSERT_EQ(choice.choices.size(), 3);
    EXPECT_TRUE(choice.choices[0].contains("CT phantom, 80 slices"));
    EXPECT_TRUE(choice.choices[1].contains("Short series, 40 slices"));
    EXPECT_EQ(choice.choices[2], "Cancel");
    EXPECT_TRUE(choice.text.contains(QString::fromStdString(CtPhantomOptions().seriesUid)));
    EXPECT_TRUE(choice.text.contains(QString::fromStdString(other.seriesUid)));
    EXPECT_EQ(TheCase().ct.seriesUid, other.seriesUid);

    const Case opened = TheCase();
    EXPECT_FALSE(Commands().OpenCtSeriesFolder(phantom)); // nothing queued: Cancel
    EXPECT_TRUE(TheCase() == opened);

    const QString empty = folder.filePath("empty");
    ASSERT_TRUE(QDir().mkpath(empty));
    EXPECT_FALSE(Commands().OpenCtSeriesFolder(empty));
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, "Open CT series");
    EXPECT_TRUE(TheCase() == opened);
}

// A data file whose body is a CT series: the series is read from beside the file; one that
// cannot be read keeps the case from opening, since the generic body would stand in for the
// decedent, and says why.
TEST_F(CtSeriesWindow, ACaseFilesSeriesIsReadOrTheCaseIsNotOpened) {
    WritePhantom("scans/phantom");
    const QString caseFile = folder.filePath("case.txt");
    Case named = TheCase();
    named.ct.folder = "scans/missing";
    EXPECT_FALSE(LoadCaseCtBodyWithProgress(named, platform, frame.get(), caseFile));
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_TRUE(platform.Messages()[0].text.contains("scans/missing"));
    EXPECT_TRUE(platform.Messages()[0].text.contains("case.txt is not opened"));
    EXPECT_FALSE(named.ct.scan);
    EXPECT_EQ(named.body.GetModel(), TheCase().body.GetModel());

    named.ct.folder = "scans/phantom";
    platform.CancelProgressAt(1);
    EXPECT_FALSE(LoadCaseCtBodyWithProgress(named, platform, frame.get(), caseFile));
    EXPECT_FALSE(named.ct.scan);
    EXPECT_EQ(platform.Messages().size(), 1u);

    platform.CancelProgressAt(0);
    EXPECT_TRUE(LoadCaseCtBodyWithProgress(named, platform, frame.get(), caseFile));
    ASSERT_TRUE(named.ct.scan);
    EXPECT_EQ(named.ct.scan->facts.description, "CT phantom");
    EXPECT_NE(named.body.GetModel(), TheCase().body.GetModel());
}

// Carrying a CT case is one edit: the trajectories stand on the body the program started with,
// at the scan's length and posable, the case has no file of its own (saving asks where), and
// Undo brings the CT case back. A case on a body model is refused with a message.
TEST_F(CtSeriesWindow, CarryToPosableBodyIsOneEditOnANewUnsavedCase) {
    Trigger(Command::CarryToPosableBody);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, "Carry to posable body");
    EXPECT_FALSE(TheCase().carriedFrom.IsCarried());

    ASSERT_TRUE(frame->OpenCtSeriesFolder(WritePhantom("phantom")));
    AddTrajectory();
    const Case scanned = TheCase();
    ASSERT_TRUE(scanned.ct.IsCtBody());
    Trigger(Command::CarryToPosableBody);
    EXPECT_EQ(platform.Messages().size(), 1u);
    EXPECT_FALSE(TheCase().ct.IsCtBody());
    EXPECT_EQ(TheCase().carriedFrom.seriesUid, scanned.ct.seriesUid);
    EXPECT_NEAR(TheCase().body.GetHeight(), scanned.ct.scan->bodyLengthCm / 100, 1e-5);
    EXPECT_EQ(TheCase().TrajectoryCount(), scanned.TrajectoryCount());
    EXPECT_FALSE(PosingOff());
    EXPECT_TRUE(Commands().GetDataFile().isEmpty());

    frame->GetUndoStack().undo();
    EXPECT_TRUE(TheCase() == scanned);
}
