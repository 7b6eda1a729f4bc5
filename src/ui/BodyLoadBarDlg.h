#pragma once

#include "scene/ProgressSink.h"

#include <QDialog>

class QProgressBar;

// The modeless "Open Body File" window that shows how far a body load has come. It is shown and
// painted as soon as it is created, and repainted on every progress step, because the load runs
// on the user-interface thread and no event loop turns while it reads.
class BodyLoadBarDlg : public QDialog, public ProgressSink {
    Q_OBJECT

public:
    explicit BodyLoadBarDlg(QWidget* owner);

    void SetProgress(int position) override;
    int GetProgress() const;

private:
    QProgressBar* progressBar;
};
