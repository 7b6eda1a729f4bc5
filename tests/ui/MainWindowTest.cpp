#include "MainWindowFixture.h"

#include "base/AppInfo.h"
#include "ui/AboutDialog.h"

#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

namespace {

// The items of one menu bar menu: texts as written (separators as "-"), and shortcuts.
QStringList MenuTexts(QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

QMenu* TopMenu(MainWindow& frame, const QString& title) {
    for (QAction* action : frame.menuBar()->actions()) {
        if (action->text() == title) {
            return action->menu();
        }
    }
    return nullptr;
}

QAction* Item(MainWindow& frame, const QString& menu, const QString& text) {
    for (QAction* action : TopMenu(frame, menu)->actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

} // namespace

using MainWindowTest = MainWindowFixture;

TEST_F(MainWindowTest, TitleNamesTheMakerAndVersionAndNeverTheDocument) {
    const QString title = QStringLiteral("kestrane.example - Ruvolane 2.7.0");
    // The placeholder shows "*" only while the case has unsaved changes.
    EXPECT_EQ(frame->windowTitle(), title + "[*]");
    EXPECT_EQ(frame->windowHandle()->title(), title);
    // A dropped body file does not change it.
    const QString body =
        QFileInfo(QString::fromStdString(TheCase().bodyModelFile)).absoluteFilePath();
    frame->OpenFiles({body});
    EXPECT_EQ(QString::fromStdString(TheCase().bodyModelFile), body) << "opened as the body";
    EXPECT_EQ(frame->windowHandle()->title(), title + "*") << "the body changed the case";
    EXPECT_EQ(frame->pos(), QPoint(50, 50));
    EXPECT_EQ(frame->size(), QSize(800, 600));
}

TEST_F(MainWindowTest, MenusCarryTheDocumentedTextsAndKeys) {
    QStringList titles;
    for (const QAction* action : frame->menuBar()->actions()) {
        titles << action->text();
    }
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&View", "&Body", "&Scene", "&Help"}));
    EXPECT_EQ(MenuTexts(TopMenu(*frame, "&Scene")),
              (QStringList{"Open scene model...", "Remove scene model", "Scene and placement...",
                           "Exterior points and shot group...", "Origin zones...",
                           "Orbit the scene", "-", "Show scene model", "Transparent scene model",
                           "Show origin zones", "Click exterior points"}));
    EXPECT_EQ(
        MenuTexts(TopMenu(*frame, "&Body")),
        (QStringList{"Posture panel\tM", "Align wounds...", "Uncertainty budget...\tCtrl+U"}));
    EXPECT_EQ(MenuTexts(TopMenu(*frame, "&File")), (QStringList{"New case\tCtrl+N",
                                                                "-",
                                                                "New trajectory\tN",
                                                                "New Element",
                                                                "-",
                                                                "Open data file \tCtrl+D",
                                                                "&Open body file...\tCtrl+B",
                                                                "Open CT series...",
                                                                "Carry to posable body...",
                                                                "-",
                                                                "Save\tCtrl+S",
                                                                "Save data file \tAlt+D",
                                                                "Save image \tAlt+I",
                                                                "Selection in saved image",
                                                                "Export report...",
                                                                "Export scene...",
                                                                "-",
                                                                "Case information...",
                                                                "-",
                                                                "Recent data files",
                                                                "-",
                                                                "E&xit"}));
    EXPECT_EQ(MenuTexts(TopMenu(*frame, "&Edit")),
              (QStringList{"Undo", "Redo", "-", "Body parameters\tB", "Adjust active trajectory\tA",
                           "Edit trajectory...\tCtrl+E", "Delete active trajectory or element\tDel",
                           "Delete all trajectories and elements", "-", "Place points\tC"}));
    EXPECT_EQ(MenuTexts(TopMenu(*frame, "&View")), (QStringList{"Data summary\tD",
                                                                "-",
                                                                "Profile\tP",
                                                                "Front\tF",
                                                                "Back\tK",
                                                                "Right\tR",
                                                                "Left\tL",
                                                                "Top\tT",
                                                                "-",
                                                                "Increase body lighting\t+",
                                                                "Decrease body lighting\t-",
                                                                "-",
                                                                "ToggleText\tE",
                                                                "Toggle axes\tX",
                                                                "Toggle front grid\tG",
                                                                "Toggle lateral grid\tAlt+G",
                                                                "Toggle body transparency\tY",
                                                                "Show landmarks\tW",
                                                                "Show uncertainty cones\tU",
                                                                "-",
                                                                "&Status Bar",
                                                                "-",
                                                                "CT slices"}));
    // The slices are there to show only while the body is a CT scan.
    EXPECT_FALSE(Item(*frame, "&View", "CT slices")->isEnabled());
    EXPECT_EQ(MenuTexts(TopMenu(*frame, "&Help")),
              (QStringList{"Contents\tF1", "Kestrane website", "-", "&About Ruvo..."}));
    EXPECT_EQ(Item(*frame, "&File", "Open data file \tCtrl+D")->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(Item(*frame, "&View", "Toggle lateral grid\tAlt+G")->shortcut(),
              QKeySequence(Qt::ALT | Qt::Key_G));
    // The view letters answer typed characters only, so the items carry no key.
    EXPECT_TRUE(Item(*frame, "&View", "Front\tF")->shortcut().isEmpty());

    // Menu commands act like their keys.
    TheViewState().ViewTop();
    Item(*frame, "&View", "Front\tF")->trigger();
    EXPECT_DOUBLE_EQ(TheViewState().GetCamera().GetPitch(), 0);
    Item(*frame, "&Help", "Contents\tF1")->trigger();
    Item(*frame, "&Help", "Kestrane website")->trigger();
    ASSERT_EQ(platform.ShellCalls().size(), 2u);
    EXPECT_EQ(platform.ShellCalls()[0].target, QStringLiteral("doc/index.html"));
    EXPECT_EQ(platform.ShellCalls()[0].workingFolder,
              QString::fromStdString(GetAppInfo().startDirectory));
    EXPECT_EQ(platform.ShellCalls()[1].target, QStringLiteral("https://kestrane.example/"));
}

TEST_F(MainWindowTest, LetterKeysActInTheMainWindowButNotWhileTypingInADialog) {
    // Keys reach the menu commands only while one of the program's windows is active.
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    const bool axes = TheViewState().Switches().axes;
    QTest::keyClick(&View(), Qt::Key_X);
    EXPECT_NE(TheViewState().Switches().axes, axes);
    QTest::keyClick(&View(), Qt::Key_X, Qt::ShiftModifier); // not a plain letter
    EXPECT_NE(TheViewState().Switches().axes, axes);
    QTest::keyClick(&View(), Qt::Key_G, Qt::AltModifier);
    EXPECT_TRUE(TheViewState().Switches().lateralGrid);
    QTest::keyClick(&View(), Qt::Key_Y);
    EXPECT_TRUE(TheViewState().Switches().bodyTransparent);
    // The landmarks start hidden; W shows them and ticks the menu item, and hides them again.
    QAction* landmarks = Item(*frame, "&View", "Show landmarks\tW");
    EXPECT_FALSE(TheViewState().Switches().landmarks);
    EXPECT_TRUE(landmarks->isCheckable());
    QTest::keyClick(&View(), Qt::Key_W);
    EXPECT_TRUE(TheViewState().Switches().landmarks);
    EXPECT_TRUE(landmarks->isChecked());
    landmarks->trigger();
    EXPECT_FALSE(TheViewState().Switches().landmarks);
    EXPECT_FALSE(landmarks->isChecked());
    QTest::keyClick(&View(), Qt::Key_E);
    EXPECT_FALSE(TheViewState().Switches().text);

    bool typedIntoField = false;
    QTimer::singleShot(100, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* field = dialog->findChild<QLineEdit*>();
        QTest::keyClicks(field, "xgyef");
        typedIntoField = field->text() == "xgyef";
        dialog->accept();
    });
    QDialog dialog(frame.get());
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLineEdit);
    dialog.exec();
    EXPECT_TRUE(typedIntoField);
    EXPECT_NE(TheViewState().Switches().axes, axes);
    EXPECT_FALSE(TheViewState().Switches().frontGrid);
    EXPECT_TRUE(TheViewState().Switches().bodyTransparent);
    EXPECT_FALSE(TheViewState().Switches().text);
}

TEST_F(MainWindowTest, KeysWorkAgainAfterADialogClosesWithoutAWindowManager) {
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QTimer::singleShot(100, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
    });
    QTest::keyClick(&View(), Qt::Key_N); // New trajectory, cancelled with Esc
    ASSERT_EQ(QApplication::activeModalWidget(), nullptr);
    // The test display has no window manager to hand the keyboard back to the main window.
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QWidget* keyboard = QApplication::focusWidget();
    ASSERT_NE(keyboard, nullptr);
    const bool axes = TheViewState().Switches().axes;
    QTest::keyClick(keyboard, Qt::Key_X);
    EXPECT_NE(TheViewState().Switches().axes, axes);
}

TEST_F(MainWindowTest, DeleteAllEmptiesTheSceneWithoutAsking) {
    AddTrajectory();
    AddElement(0.5, 1.4, 0.3);
    TheViewState().SelectElement(1);
    Item(*frame, "&Edit", "Delete all trajectories and elements")->trigger();
    EXPECT_EQ(TheCase().TrajectoryCount(), 0);
    EXPECT_EQ(TheCase().ElementCount(), 0);
    EXPECT_EQ(TheViewState().GetSelectionState(), SelectionState::Nothing);
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(MainWindowTest, ToolbarAndStatusBar) {
    auto* toolBar = frame->findChild<QToolBar*>();
    ASSERT_NE(toolBar, nullptr);
    QStringList buttons;
    for (const QAction* action : toolBar->actions()) {
        buttons << (action->isSeparator() ? QStringLiteral("-") : action->text());
        EXPECT_TRUE(action->isSeparator() || !action->icon().isNull());
    }
    EXPECT_EQ(buttons, (QStringList{"New trajectory\tN", "Open data file \tCtrl+D",
                                    "Save data file \tAlt+D", "-", "&About Ruvo..."}));
    EXPECT_EQ(Item(*frame, "&Help", "&About Ruvo...")->statusTip(),
              QStringLiteral("About the program"));

    EXPECT_EQ(frame->GetMessagePane().text(), QStringLiteral("For Help, press F1"));
    const QStringList names{"CAP", "NUM", "SCRL"};
    for (int i = 0; i < 3; ++i) {
        // Blank while the lock is off, the name while it is on (or always, unreported).
        const QString text = frame->GetIndicator(i).text();
        EXPECT_TRUE(text.isEmpty() || text == names[i]) << text.toStdString();
    }

    QAction* statusBarItem = Item(*frame, "&View", "&Status Bar");
    ASSERT_TRUE(statusBarItem->isCheckable());
    EXPECT_TRUE(statusBarItem->isChecked());
    statusBarItem->trigger();
    EXPECT_FALSE(frame->statusBar()->isVisible());
    statusBarItem->trigger();
    EXPECT_TRUE(frame->statusBar()->isVisible());
}

TEST_F(MainWindowTest, AboutBoxShowsTheVersionAndNotices) {
    QStringList texts;
    QTimer::singleShot(100, [&] {
        auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        texts << about->windowTitle() << about->GetVersionText() << about->GetLegalText()
              << about->GetRightsText();
        about->accept();
    });
    Item(*frame, "&Help", "&About Ruvo...")->trigger();
    const AppInfo& info = GetAppInfo();
    EXPECT_EQ(texts,
              (QStringList{"About Ruvo", "Version 2.7.0", QString::fromStdString(info.legalNotice),
                           QString::fromStdString(info.rightsNotice)}));
}
