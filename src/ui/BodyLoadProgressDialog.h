#pragma once

#include "base/ProgressSink.h"

#include <QDialog>

class QProgressBar;
class QPushButton;

// The "Open Body File" window that shows how far a body load has come, with a Cancel button (Esc
// and the close box do the same). It is shown and painted as soon as it is created, and repainted
// on every progress step, because the load runs on the user-interface thread. While it is open
// the rest of the program takes no clicks or keys, so only Cancel can act during the load.
class BodyLoadProgressDialog : public QDialog, public ProgressSink {
    Q_OBJECT

public:
    explicit BodyLoadProgressDialog(QWidget* owner);

    void SetProgress(int position) override;
    bool CancelRequested() const override { return cancelRequested; }
    int GetProgress() const;

    // Asks the load to stop at its next step; the window stays until the load has returned.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QProgressBar* progressBar;
    QPushButton* cancelButton;
    bool cancelRequested = false;
};
