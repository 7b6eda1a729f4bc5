#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class Case;

// "Confirm ?": asks before the selected trajectory or element is deleted, and deletes it on OK.
// Later trajectories (or elements) move down one number.
class ConfirmDeleteDialog : public QDialog {
    Q_OBJECT
public:
    explicit ConfirmDeleteDialog(std::function<void()> redraw, QWidget* parent = nullptr);

    void Bind(Case& value) { scene = &value; }
    // Takes the selection numbers as they are on opening; OK acts on those.
    int exec() override;
    void accept() override;

private:
    std::function<void()> redraw;
    Case* scene = nullptr;
    int trajectoryNumber = 0;
    int elementNumber = 0;
    QLabel* messageLabel;
};
