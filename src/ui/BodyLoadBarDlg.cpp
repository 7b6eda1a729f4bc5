#include "ui/BodyLoadBarDlg.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {

// Paints pending windows without letting the user's clicks and keys in while the load runs.
void PaintNow() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

BodyLoadBarDlg::BodyLoadBarDlg(QWidget* owner) : QDialog(owner), progressBar(new QProgressBar) {
    setWindowTitle(QStringLiteral("Open Body File"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Loading in progress")));
    progressBar->setRange(0, 100);
    progressBar->setValue(50);
    progressBar->setMinimumWidth(260);
    layout->addWidget(progressBar);
    show();
    PaintNow();
}

void BodyLoadBarDlg::SetProgress(int position) {
    progressBar->setValue(position);
    progressBar->repaint();
    PaintNow();
}

int BodyLoadBarDlg::GetProgress() const {
    return progressBar->value();
}
