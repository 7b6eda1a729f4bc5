#pragma once

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <array>
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

// Sets the six coordinate fields of a trajectory dialog (x1 y1 z1 x2 y2 z2, in centimetres): a
// field left empty is refused, so a test that only cares for other fields fills them first.
inline void FillCoordinates(QDialog& dialog, const std::array<const char*, 6>& texts = {
                                                 "0", "0", "0", "0", "0", "0"}) {
    const char* const names[6] = {"inX", "inY", "inZ", "outX", "outY", "outZ"};
    for (int index = 0; index < 6; ++index) {
        Child<QLineEdit>(dialog, names[index]).setText(texts[index]);
    }
}
