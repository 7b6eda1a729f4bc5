#include "ScriptedPlatform.h"
#include "ui/BodyLoadProgressDialog.h"
#include "ui/QtPlatform.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

bool AnyVisibleWindowTitled(const QString& title) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == title) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(QtPlatformTest, FilterTextKeepsOneParenthesisedPatternPerEntry) {
    // The data-file filter comes with its patterns already in the description.
    EXPECT_EQ(QtPlatform::FilterText({{"Txt Files (*.txt) ", " *.txt"}}),
              QStringLiteral("Txt Files (*.txt)"));
    EXPECT_EQ(QtPlatform::FilterText({{"Wavefront Files", "*.obj"}, {"Images", "*.jpg;*.jpeg"}}),
              QStringLiteral("Wavefront Files (*.obj);;Images (*.jpg *.jpeg)"));
}

TEST(QtPlatformTest, ShellTargetResolvesFilesAgainstTheWorkingFolderAndKeepsAddresses) {
    EXPECT_EQ(QtPlatform::ShellTarget("doc/index.html", "/cases/start"),
              QUrl::fromLocalFile("/cases/start/doc/index.html"));
    EXPECT_EQ(QtPlatform::ShellTarget("/abs/manual.html", "/cases/start"),
              QUrl::fromLocalFile("/abs/manual.html"));
    EXPECT_EQ(QtPlatform::ShellTarget("https://kestrane.example/", "/cases/start"),
              QUrl("https://kestrane.example/"));
}

TEST(QtPlatformTest, MessagesGoToStandardErrorWhenAutomatedRunsAskForIt) {
    qputenv("RUVO_TEST_AUTOCLOSE_MESSAGES", "1");
    QtPlatform platform;
    qunsetenv("RUVO_TEST_AUTOCLOSE_MESSAGES");
    testing::internal::CaptureStderr();
    platform.ShowMessage(nullptr, "Create a trajectory first", "Adjust trajectory");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Adjust trajectory: Create a trajectory first\n");
}

TEST(QtPlatformTest, ProgressWindowIsShownAtHalfAndClosedWhenReleased) {
    QtPlatform platform;
    auto progress = platform.OpenProgress(nullptr);
    EXPECT_TRUE(AnyVisibleWindowTitled("Open Body File"));
    BodyLoadProgressDialog* window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<BodyLoadProgressDialog*>(widget)) {
            window = dialog;
        }
    }
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetProgress(), 50);
    EXPECT_EQ(window->findChild<QLabel*>()->text(), QStringLiteral("Loading in progress"));
    progress->SetProgress(60);
    EXPECT_EQ(window->GetProgress(), 60);
    progress.reset();
    EXPECT_FALSE(AnyVisibleWindowTitled("Open Body File"));
}

TEST(QtPlatformTest, ProgressSurvivesItsOwnerClosingFirst) {
    QtPlatform platform;
    auto owner = std::make_unique<QWidget>();
    auto progress = platform.OpenProgress(owner.get());
    owner.reset(); // takes the child window with it
    progress->SetProgress(70);
    progress.reset();
    EXPECT_FALSE(AnyVisibleWindowTitled("Open Body File"));
}

TEST(ScriptedPlatformTest, AnswersFromItsQueuesAndRecordsEveryRequest) {
    ScriptedPlatform platform;
    platform.QueueOpenFile("/cases/a.txt");
    platform.QueueColor(QColor(1, 2, 3));
    FileChooserRequest request;
    request.title = "Open";
    request.filters = {{"Txt Files (*.txt) ", " *.txt"}};
    request.initialFolder = "/cases";

    EXPECT_EQ(platform.ChooseOpenFile(nullptr, request), QStringLiteral("/cases/a.txt"));
    EXPECT_EQ(platform.ChooseOpenFile(nullptr, request), QString()); // cancelled
    EXPECT_EQ(platform.ChooseSaveFile(nullptr, request), QString());
    EXPECT_EQ(platform.ChooseColor(nullptr, QColor(9, 9, 9)), QColor(1, 2, 3));
    EXPECT_EQ(platform.ChooseColor(nullptr, QColor(9, 9, 9)), QColor(9, 9, 9));
    EXPECT_EQ(platform.UnscriptedRequests(), 3);
    ASSERT_EQ(platform.OpenRequests().size(), 2u);
    EXPECT_EQ(platform.OpenRequests()[0].initialFolder, QStringLiteral("/cases"));
    EXPECT_EQ(platform.SaveRequests().size(), 1u);
    EXPECT_EQ(platform.ColorRequests().size(), 2u);

    QString seenCaption;
    platform.OnMessage([&](const ScriptedPlatform::Message& m) { seenCaption = m.caption; });
    platform.ShowMessage(nullptr, "No trajectory or element selected.",
                         "Delete trajectory/element");
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text, QStringLiteral("No trajectory or element selected."));
    EXPECT_EQ(seenCaption, QStringLiteral("Delete trajectory/element"));

    platform.ShellOpen("doc/index.html", "/start");
    ASSERT_EQ(platform.ShellCalls().size(), 1u);
    EXPECT_EQ(platform.ShellCalls()[0].workingFolder, QStringLiteral("/start"));

    {
        auto progress = platform.OpenProgress(nullptr);
        EXPECT_TRUE(platform.ProgressWindowOpen());
        progress->SetProgress(10);
        progress->SetProgress(60);
    }
    EXPECT_FALSE(platform.ProgressWindowOpen());
    EXPECT_EQ(platform.ProgressValues(), (std::vector<int>{10, 60}));
    EXPECT_EQ(platform.ProgressWindowsOpened(), 1);
}
