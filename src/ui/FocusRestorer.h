#pragma once

#include <QObject>
#include <QPointer>

class QMenuBar;
class QWidget;

// Keeps the keyboard where the user expects it, with or without a window manager (a bare X
// server gives the keyboard to no window by itself):
// - the main window takes it when it is shown, so the first key works without a click;
// - when a dialog, a chooser, a message box or the context menu closes and no window of the
//   program has the keyboard, the main window takes it back;
// - when a menu opened from the menu bar with the keyboard is left with Esc, the menu bar gives
//   up the keyboard at once and the view has it, so letter keys act on the view again instead of
//   opening menus.
class FocusRestorer : public QObject {
    Q_OBJECT

public:
    explicit FocusRestorer(QWidget* mainWindow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RestoreIfNobodyHasTheKeyboard();
    void TakeKeyboard(QWidget* window);
    void LeaveMenuBarIfItKeptTheKeyboard();
    void GiveViewTheKeyboardIfNobodyHasIt();

    QWidget* mainWindow;
    // The main window's menu bar and view, when it is a main window.
    QPointer<QMenuBar> menuBar;
    QPointer<QWidget> view;
};
