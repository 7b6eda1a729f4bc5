#pragma once

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>

// Runs `action` on the modal dialog once its event loop has started. A dialog the action leaves
// open is rejected, so a failing test ends instead of waiting for a person.
template <typename Dialog> void WhenModal(std::function<void(Dialog&)> action) {
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<Dialog*>(modal);
        if (dialog != nullptr) {
            action(*dialog);
        }
        if (modal != nullptr && modal->isVisible()) {
            if (auto* plain = qobject_cast<QDialog*>(modal)) {
                plain->done(QDialog::Rejected);
            } else {
                modal->close();
            }
        }
    });
}

// The named child of a dialog; a missing one stops the run with its name.
template <typename Widget> Widget& Child(QWidget& parent, const char* name) {
    auto* child = parent.findChild<Widget*>(name);
    if (child == nullptr) {
        std::fprintf(stderr, "no child widget named %s\n", name);
        std::abort();
    }
    return *child;
}

// Clicks the named push button of a dialog.
inline void Click(QDialog& dialog, const char* button) {
    QTest::mouseClick(&Child<QPushButton>(dialog, button), Qt::LeftButton);
}
