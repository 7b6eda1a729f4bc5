#include "ui/ConfirmDeleteDialog.h"

#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "view/ViewState.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ConfirmDeleteDialog::ConfirmDeleteDialog(CaseEditor& theEditor, ViewState& theView, QWidget* parent)
    : QDialog(parent), editor(theEditor), view(theView) {
    setWindowTitle("Confirm ?");
    auto* layout = new QVBoxLayout(this);
    messageLabel = new QLabel("Trajectory nbr", this);
    messageLabel->setObjectName("messageLabel");
    layout->addWidget(messageLabel);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancelButton");
    cancel->setAutoDefault(false);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &ConfirmDeleteDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int ConfirmDeleteDialog::exec() {
    trajectoryNumber = view.GetSelectedTrajectoryNumber();
    elementNumber = view.GetSelectedElementNumber();
    if (trajectoryNumber != 0) {
        messageLabel->setText(QString("Delete trajectory number %1").arg(trajectoryNumber));
    } else if (elementNumber != 0) {
        messageLabel->setText(QString("Delete element number %1").arg(elementNumber));
    }
    return QDialog::exec();
}

void ConfirmDeleteDialog::accept() {
    if (trajectoryNumber != 0) {
        editor.DeleteTrajectory("Delete trajectory", trajectoryNumber);
        view.ClearSelection();
    } else if (elementNumber != 0) {
        editor.DeleteElement("Delete element", elementNumber);
        view.ClearSelection();
    }
    QDialog::accept();
}
