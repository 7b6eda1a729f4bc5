#include "DialogsTestSupport.h"

#include "ScriptedPlatform.h"
#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "mesh/ArrowModels.h"
#include "ui/CaseCommands.h"
#include "ui/FileCommands.h"
#include "ui/QtPlatform.h"
#include "view/ViewState.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

#include <gtest/gtest.h>

namespace {

struct ChooserSeen {
    QString folder;
    QString name;
};

// Opens the real chooser for the request and reads where it starts and what name it offers.
ChooserSeen ShowChooser(const FileChooserRequest& request, bool saving) {
    ChooserSeen seen;
    WhenModal<QFileDialog>([&seen](QFileDialog& chooser) {
        seen.folder = chooser.directory().absolutePath();
        seen.name = Child<QLineEdit>(chooser, "fileNameEdit").text();
    });
    QtPlatform platform;
    const QString chosen = saving ? platform.ChooseSaveFile(nullptr, request)
                                  : platform.ChooseOpenFile(nullptr, request);
    EXPECT_EQ(chosen, QString()); // left with Cancel
    return seen;
}

// Runs `action` on the first modal window of type W that is shown within `waitMs`: unlike
// WhenModal, it waits for a window that comes after the present one has closed (the chooser's
// question, the chooser shown again). The watch ends with the action, at the deadline, or when
// the returned timer is deleted.
template <typename W> QPointer<QTimer> WhenShownLater(std::function<void(W&)> action, int waitMs) {
    auto* timer = new QTimer;
    const QDeadlineTimer deadline(waitMs);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action, deadline] {
        auto* window = qobject_cast<W*>(QApplication::activeModalWidget());
        const bool shown = window != nullptr && window->isVisible();
        if (shown || deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
        if (shown) {
            action(*window);
        }
    });
    timer->start();
    return timer;
}

// The file commands working from a start directory of their own.
struct FolderFixture : ::testing::Test {
    QTemporaryDir start;
    QString previous = QDir::currentPath();
    Case theCase;
    CaseEditor editor{theCase};
    ViewState view;
    const ArrowModels arrows;
    ScriptedPlatform platform;
    CaseCommands commands{editor,
                          view,
                          arrows,
                          platform,
                          nullptr,
                          [] {},
                          [] { return CapturedImage::Create(2, 2, 32); }};

    void SetUp() override {
        ASSERT_TRUE(start.isValid());
        ASSERT_TRUE(QDir(start.path()).mkpath("work"));
        commands.SetStartDirectory(start.filePath("work"));
        QDir::setCurrent(start.filePath("work"));
    }
    void TearDown() override { QDir::setCurrent(previous); }
    QString Work(const QString& name = {}) const {
        return name.isEmpty() ? start.filePath("work") : start.filePath("work/" + name);
    }
};

} // namespace

TEST(FileChooserTest, ChoosersStartInTheFolderWithNoNameFilledIn) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath("database"));
    FileChooserRequest request = SaveDataRequest(folder.path());
    ChooserSeen seen = ShowChooser(request, true);
    EXPECT_EQ(seen.folder, folder.filePath("database"));
    EXPECT_EQ(seen.name, "");
    seen = ShowChooser(OpenDataRequest(folder.path()), false);
    EXPECT_EQ(seen.folder, folder.filePath("database"));
    EXPECT_EQ(seen.name, "");
    // Even a folder that is not there never becomes a file name ready to be saved.
    request.initialFolder = folder.filePath("missing");
    EXPECT_EQ(ShowChooser(request, true).name, "");
}

TEST_F(FolderFixture, MissingFoldersAreReportedOnceAndTheChooserStartsInTheStartDirectory) {
    commands.OpenDataFile();
    commands.OpenDataFile();
    commands.OpenBodyFile();
    commands.SaveImage();
    ASSERT_EQ(platform.Messages().size(), 3u);
    EXPECT_EQ(platform.Messages()[0].caption, "Open data");
    EXPECT_TRUE(platform.Messages()[0].text.contains(Work("database")));
    EXPECT_EQ(platform.Messages()[1].caption, "Open body");
    EXPECT_TRUE(platform.Messages()[1].text.contains(Work("data")));
    EXPECT_EQ(platform.Messages()[2].caption, "Save image");
    EXPECT_TRUE(platform.Messages()[2].text.contains(start.filePath("images")));
    for (const FileChooserRequest& request : platform.OpenRequests()) {
        EXPECT_EQ(request.initialFolder, Work());
    }
    EXPECT_EQ(platform.SaveRequests().at(0).initialFolder, Work());

    // Folders that exist: no message, the chooser starts in them.
    ASSERT_TRUE(QDir(start.path()).mkpath("images"));
    ASSERT_TRUE(QDir(Work()).mkpath("data"));
    platform.ClearRecords();
    commands.OpenBodyFile();
    commands.SaveImage();
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_EQ(platform.OpenRequests().at(0).initialFolder, Work("data"));
    EXPECT_EQ(platform.SaveRequests().at(0).initialFolder, "../images");
}

TEST_F(FolderFixture, SavingCreatesTheDataFolderOnlyWhenTheUserAgrees) {
    commands.SaveDataFile(); // answered No
    commands.SaveDataFile(); // not asked again
    EXPECT_FALSE(QFileInfo::exists(Work("database")));
    ASSERT_EQ(platform.Questions().size(), 1u);
    EXPECT_EQ(platform.Questions()[0].caption, "Save data");
    EXPECT_TRUE(platform.Questions()[0].text.contains(Work("database")));
    EXPECT_EQ(platform.SaveRequests().at(1).initialFolder, Work());
    EXPECT_TRUE(platform.Messages().empty());

    CaseCommands fresh{editor,
                       view,
                       arrows,
                       platform,
                       nullptr,
                       [] {},
                       [] { return CapturedImage::Create(2, 2, 32); }};
    fresh.SetStartDirectory(Work());
    platform.ClearRecords();
    platform.QueueAnswer(true);
    platform.QueueSaveFile(Work("database/case"));
    fresh.SaveDataFile();
    EXPECT_TRUE(QFileInfo(Work("database")).isDir());
    EXPECT_TRUE(QFileInfo::exists(Work("database/case.txt")));
    EXPECT_EQ(platform.SaveRequests().at(0).initialFolder, Work("database"));
    EXPECT_TRUE(platform.Messages().empty());
}

// The chooser used to start in the data folder with no name, and its overwrite question
// defaulted to No for the very file the case came from; a name typed without ".txt" replaced
// the ".txt" file without any question.
TEST(FileChooserTest, TheCaseIsSavedFromItsOwnFileAndOnlyOtherFilesAreAskedAbout) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath("cases"));
    const QString own = folder.filePath("cases/case.txt");
    for (const QString& path : {own, folder.filePath("cases/other.txt")}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const FileChooserRequest request = SaveCaseRequest(own, folder.path());
    QtPlatform platform;

    // It starts at the case's file; accepted as offered, the file is replaced unasked.
    ChooserSeen seen;
    int asked = 0;
    QPointer<QTimer> questions = WhenShownLater<QMessageBox>(
        [&asked](QMessageBox& box) {
            ++asked;
            box.button(QMessageBox::Yes)->click();
        },
        5000);
    WhenModal<QFileDialog>([&seen](QFileDialog& chooser) {
        seen.folder = chooser.directory().absolutePath();
        seen.name = Child<QLineEdit>(chooser, "fileNameEdit").text();
        static_cast<QDialog&>(chooser).accept(); // the chooser's own, as OK runs it
    });
    EXPECT_EQ(platform.ChooseSaveFile(nullptr, request), own);
    delete questions.data();
    EXPECT_EQ(seen.folder, folder.filePath("cases"));
    EXPECT_EQ(seen.name, "case.txt");
    EXPECT_EQ(asked, 0);

    // Another file, named without the extension the program adds: asked, No by default; No
    // brings the chooser back (cancelled here).
    QString text;
    bool defaultIsNo = false;
    WhenModal<QFileDialog>([&](QFileDialog& chooser) {
        WhenShownLater<QMessageBox>(
            [&](QMessageBox& box) {
                ++asked;
                text = box.text();
                defaultIsNo = box.defaultButton() == box.button(QMessageBox::No);
                WhenShownLater<QFileDialog>([](QFileDialog& again) { again.reject(); }, 5000);
                box.button(QMessageBox::No)->click();
            },
            5000);
        chooser.selectFile("other");
        static_cast<QDialog&>(chooser).accept(); // the chooser's own, as OK runs it
    });
    EXPECT_EQ(platform.ChooseSaveFile(nullptr, request), QString());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(text, "other.txt already exists.\nDo you want to replace it?");
    EXPECT_TRUE(defaultIsNo);

    // Yes replaces it.
    WhenModal<QFileDialog>([](QFileDialog& chooser) {
        WhenShownLater<QMessageBox>([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); },
                                    5000);
        chooser.selectFile("other.txt");
        static_cast<QDialog&>(chooser).accept(); // the chooser's own, as OK runs it
    });
    EXPECT_EQ(platform.ChooseSaveFile(nullptr, request), folder.filePath("cases/other.txt"));
}
