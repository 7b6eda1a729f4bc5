// Where the keyboard goes: into the program's windows as they open, back to the view after
// dialogs and menus, and what Enter does in the text dialogs. Keys are sent to the window that has
// the keyboard, as the display server delivers them; the test display has no window manager.
#include "DialogsTestSupport.h"
#include "MainWindowFixture.h"

#include "ui/BodyParametersDialog.h"
#include "ui/CaseCommands.h"
#include "ui/DataSummaryDialog.h"
#include "ui/NewTrajectoryDialog.h"
#include "ui/PropertiesDialog.h"
#include "ui/QtPlatform.h"

#include <QColorDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>

namespace {

constexpr int kWaitMs = 5000;

// Keys as the user types them: to whichever window has the keyboard (none: they are lost).
void TypeKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    if (QWindow* window = QGuiApplication::focusWindow()) {
        QTest::keyClick(window, key, modifiers);
    }
}

void TypeText(const QString& text) {
    for (const QChar c : text) {
        if (QWindow* window = QGuiApplication::focusWindow()) {
            QTest::keyClick(window, c.toLatin1());
        }
    }
}

bool HasKeyboard(QWidget* window) {
    return QTest::qWaitFor(
        [window] {
            return window->windowHandle() != nullptr &&
                   QGuiApplication::focusWindow() == window->windowHandle();
        },
        kWaitMs);
}

bool OnAnyScreen(const QRect& frame) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->geometry().intersects(frame)) {
            return true;
        }
    }
    return false;
}

// Closes whatever modal window is left open, so a failing test ends instead of waiting.
void CloseLeftoverModals() {
    QTimer::singleShot(kWaitMs * 2, [] {
        while (QWidget* modal = QApplication::activeModalWidget()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->done(QDialog::Rejected);
            } else {
                modal->close();
            }
            QApplication::processEvents();
        }
    });
}

} // namespace

TEST(KeyboardTest, TheMainWindowHasTheKeyboardAsSoonAsItIsShown) {
    Case theCase;
    CaseEditor editor(theCase);
    ViewState view;
    ScriptedPlatform platform;
    const ArrowModels arrows;
    MainWindow frame(editor, view, arrows, platform);
    frame.show(); // nobody clicks, nobody activates it
    ASSERT_TRUE(HasKeyboard(&frame));
}

TEST(KeyboardTest, EnterClosesTheDataSummaryAndItsTextCannotBeChanged) {
    DataSummaryDialog dialog;
    dialog.SetSummaryText("Body: man1\r\nheight 1.75 m\r\n");
    QString textAfterTyping;
    WhenModal<DataSummaryDialog>([&](DataSummaryDialog& d) {
        auto& field = Child<QPlainTextEdit>(d, "textField");
        EXPECT_TRUE(field.hasFocus() || HasKeyboard(&d));
        QTest::keyClicks(&field, "typed");
        textAfterTyping = field.toPlainText();
        QTest::keyClick(&field, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(textAfterTyping, "Body: man1\nheight 1.75 m\n");
}

TEST(KeyboardTest, PropertiesTakeEnterAsANewLineAndCtrlEnterAsOk) {
    Case theCase;
    CaseEditor editor(theCase);
    ViewState view;
    theCase.trajectories.emplace_back();
    view.SelectTrajectory(1);
    PropertiesDialog dialog(editor, view);
    bool stillOpenAfterEnter = false;
    WhenModal<PropertiesDialog>([&](PropertiesDialog& d) {
        EXPECT_TRUE(Child<QLabel>(d, "keysHint").text().contains("Ctrl+Enter"));
        auto& field = Child<QPlainTextEdit>(d, "textField");
        QTest::keyClicks(&field, "Entry");
        QTest::keyClick(&field, Qt::Key_Return);
        stillOpenAfterEnter = d.isVisible();
        QTest::keyClicks(&field, "chest");
        QTest::keyClick(&field, Qt::Key_Enter, Qt::ControlModifier);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(stillOpenAfterEnter);
    EXPECT_EQ(theCase.TrajectoryNumbered(1)->label, "Entry\r\nchest");
}

// The colour chooser stands in for the New trajectory dialog: the dialog is out of sight (its
// modal loop still running) while the chooser is open, and back with the keyboard afterwards, so
// Enter presses Compute.
TEST(KeyboardTest, TheColourChooserHidesTheDialogWhichGetsTheKeyboardBack) {
    Case theCase;
    CaseEditor editor(theCase);
    QtPlatform platform;
    QColor proposedColor = Qt::white;
    NewTrajectoryDialog dialog(editor, platform, proposedColor, [] {});
    CloseLeftoverModals();
    bool runningWhileChoosing = false;
    bool seenWhileChoosing = true;
    QRect before, after;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(HasKeyboard(&dialog));
        before = dialog.frameGeometry();
        FillCoordinates(dialog, {"", "0", "0", "0", "0", "0"}); // x1 is typed below
        QTimer::singleShot(0, [&] {
            auto* chooser = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(chooser, nullptr);
            ASSERT_TRUE(QTest::qWaitForWindowExposed(chooser));
            runningWhileChoosing = dialog.isVisible();
            seenWhileChoosing = OnAnyScreen(dialog.frameGeometry()) && dialog.windowOpacity() > 0;
            chooser->setCurrentColor(QColor(10, 20, 30));
            chooser->accept();
        });
        QTest::mouseClick(&Child<QWidget>(dialog, "colorSwatch"), Qt::LeftButton);
        after = dialog.frameGeometry();
        ASSERT_TRUE(HasKeyboard(&dialog));
        TypeText("10");
        TypeKey(Qt::Key_Return);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(runningWhileChoosing);
    EXPECT_FALSE(seenWhileChoosing);
    EXPECT_EQ(after, before);
    EXPECT_DOUBLE_EQ(dialog.windowOpacity(), 1.0);
    ASSERT_EQ(theCase.TrajectoryCount(), 1);
    EXPECT_DOUBLE_EQ(theCase.TrajectoryNumbered(1)->in.x, 0.1);
    EXPECT_DOUBLE_EQ(theCase.TrajectoryNumbered(1)->color.x, 10 / 255.0);
}

// A height of 0 typed in Body parameters reaches the field, is refused, and the refusal is a
// message box that has the keyboard, so Enter closes it.
TEST(KeyboardTest, TheRefusedHeightIsTypedIntoTheDialogAndItsMessageHasTheKeyboard) {
    Case theCase;
    CaseEditor editor(theCase);
    ASSERT_TRUE(theCase.body.SetHeight(1.8));
    QtPlatform platform;
    BodyParametersDialog dialog(editor, platform);
    CloseLeftoverModals();
    QString shownText;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(HasKeyboard(&dialog));
        Child<QLineEdit>(dialog, "heightField").setFocus();
        TypeKey(Qt::Key_A, Qt::ControlModifier);
        TypeText("0");
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            ASSERT_TRUE(HasKeyboard(box));
            shownText = box->text();
            TypeKey(Qt::Key_Return);
        });
        TypeKey(Qt::Key_Return);
    });
    dialog.exec();
    EXPECT_TRUE(shownText.contains("more than 0")) << shownText.toStdString();
    EXPECT_FLOAT_EQ(theCase.body.GetHeight(), 1.8f);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

using MenuKeyboardTest = MainWindowFixture;

// Walking the menus with the keyboard and leaving with Esc gives the keyboard back to the view:
// "f" then shows the front view instead of opening the File menu.
TEST_F(MenuKeyboardTest, LettersActOnTheViewAfterLeavingTheMenusWithEscape) {
    ASSERT_TRUE(HasKeyboard(frame.get()));
    TheViewState().ViewTop();
    const double topHeight = TheViewState().GetCamera().GetY();
    TypeKey(Qt::Key_F, Qt::AltModifier); // opens File
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
    TypeKey(Qt::Key_Down);
    TypeKey(Qt::Key_Right); // on to Edit
    TypeKey(Qt::Key_Escape);
    QApplication::processEvents();
    QTest::qWait(50);
    TypeText("f");
    QTest::qWait(50);
    QMenu* opened = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (opened != nullptr) {
        opened->close();
    }
    EXPECT_EQ(opened, nullptr);
    EXPECT_NE(TheViewState().GetCamera().GetY(), topHeight);
    EXPECT_TRUE(View().hasFocus());
}
