#include "ui/BackgroundWork.h"

#include "ui/Platform.h"
#include "ui/SharedProgress.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

constexpr int kPollMilliseconds = 50;

// Shows the shared position in the window and hands its Cancel on to the work.
void Poll(SharedProgress& shared, ProgressSink& window) {
    window.SetProgress(shared.Reached());
    if (window.CancelRequested()) {
        shared.Cancel();
    }
}

} // namespace

bool RunInBackground(Platform& platform, QWidget* owner,
                     const std::function<Status(ProgressSink&)>& work, Status& outcome) {
    SharedProgress shared;
    Status result = Status::Ok();
    {
        const std::unique_ptr<ProgressSink> window = platform.OpenProgress(owner);
        std::unique_ptr<QThread> thread(
            QThread::create([&work, &shared, &result] { result = work(shared); }));
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&shared, &window] { Poll(shared, *window); });
        QEventLoop loop;
        QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
        thread->start();
        poll.start(kPollMilliseconds);
        loop.exec();
        thread->wait();
        poll.stop();
        // The last position is shown too: a Cancel pressed while the work was ending still
        // counts, since nothing has been taken from the work yet.
        Poll(shared, *window);
    } // the progress window closes here, before any message
    if (shared.CancelRequested()) {
        return false;
    }
    outcome = result;
    return true;
}
