#include "ui/ReportDrawing.h"

#include "base/ProgressSink.h"
#include "body/UncertaintyModel.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "ui/SharedProgress.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

constexpr int kPollMilliseconds = 50;

QString DrawingText(const PosedCase& posed) {
    const UncertaintyModel& model = posed.GetCase().body.GetUncertaintyModel();
    return QStringLiteral("Drawing the uncertainty budgets of %1 trajectories, %2 draws each "
                          "(at most %3)...")
        .arg(posed.GetTrajectories().size())
        .arg(model.DrawCount())
        .arg(UncertaintyModel::kMostDraws);
}

} // namespace

std::optional<ReportDraws> DrawReportWithProgress(const PosedCase& posed, QWidget* owner) {
    // The thread reads a copy of its own (the meshes are shared, not copied).
    const auto copy = std::make_shared<const PosedCase>(posed);
    SharedProgress progress;
    std::optional<ReportDraws> drawn;
    std::unique_ptr<QThread> thread(
        QThread::create([copy, &progress, &drawn] { drawn = DrawReport(*copy, &progress); }));

    QProgressDialog dialog(DrawingText(posed), QStringLiteral("Cancel"), 0, 100, owner);
    dialog.setObjectName(kReportDrawingDialogName);
    dialog.setWindowTitle(QStringLiteral("Export report"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(300);
    QObject::connect(&dialog, &QProgressDialog::canceled, [&progress] { progress.Cancel(); });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout,
                     [&dialog, &progress] { dialog.setValue(progress.Reached()); });
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    poll.start(kPollMilliseconds);
    dialog.setValue(0);
    loop.exec();
    thread->wait();
    poll.stop();
    if (progress.CancelRequested()) {
        return std::nullopt;
    }
    return drawn;
}
