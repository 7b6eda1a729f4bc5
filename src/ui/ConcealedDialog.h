#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

// Keeps a modal dialog out of sight while another window (the colour chooser) stands in for it,
// without ending its modal loop, which hiding a QDialog would do. For as long as this object
// lives the dialog is fully transparent and placed beyond every screen; afterwards it is back
// where it was, in front, with the keyboard.
class ConcealedDialog {
public:
    explicit ConcealedDialog(QWidget& dialog);
    ~ConcealedDialog();
    ConcealedDialog(const ConcealedDialog&) = delete;
    ConcealedDialog& operator=(const ConcealedDialog&) = delete;

    // The window a chooser opened meanwhile should stand over: the dialog's own parent window,
    // since the dialog itself is out of sight (nullptr: the chooser is centred on the screen).
    QWidget* ChooserOwner() const;

private:
    QPointer<QWidget> dialog;
    QPoint position;
    qreal opacity = 1.0;
};
