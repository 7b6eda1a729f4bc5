#include "ui/BodyLoadProgressDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Paints pending windows and lets the Cancel button be pressed while the load runs; the window is
// application-modal, so no other window takes input meanwhile.
void PaintNow() {
    QCoreApplication::processEvents();
}

} // namespace

BodyLoadProgressDialog::BodyLoadProgressDialog(QWidget* owner)
    : QDialog(owner), progressBar(new QProgressBar),
      cancelButton(new QPushButton(QStringLiteral("Cancel"))) {
    setWindowTitle(QStringLiteral("Open Body File"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Loading in progress")));
    progressBar->setRange(0, 100);
    progressBar->setValue(50);
    progressBar->setMinimumWidth(260);
    layout->addWidget(progressBar);
    cancelButton->setObjectName(QStringLiteral("Cancel"));
    layout->addWidget(cancelButton, 0, Qt::AlignRight);
    connect(cancelButton, &QPushButton::clicked, this, &BodyLoadProgressDialog::reject);
    show();
    PaintNow();
}

void BodyLoadProgressDialog::SetProgress(int position) {
    progressBar->setValue(position);
    progressBar->repaint();
    PaintNow();
}

int BodyLoadProgressDialog::GetProgress() const {
    return progressBar->value();
}

void BodyLoadProgressDialog::reject() {
    cancelRequested = true;
    cancelButton->setEnabled(false);
}

void BodyLoadProgressDialog::closeEvent(QCloseEvent* event) {
    reject();
    event->ignore();
}
