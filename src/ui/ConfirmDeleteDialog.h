#pragma once

#include <QDialog>

#include <functional>

class CaseEditor;
class QLabel;
class ViewState;

// "Confirm ?": asks before the selected trajectory or element is deleted, and deletes it on OK.
// Later trajectories (or elements) move down one number.
class ConfirmDeleteDialog : public QDialog {
    Q_OBJECT
public:
    ConfirmDeleteDialog(CaseEditor& editor, ViewState& view, QWidget* parent = nullptr);
    // Takes the selection numbers as they are on opening; OK acts on those.
    int exec() override;
    void accept() override;

private:
    CaseEditor& editor;
    ViewState& view;
    int trajectoryNumber = 0;
    int elementNumber = 0;
    QLabel* messageLabel;
};
