#include "ui/Application.h"

#include "base/AppInfo.h"
#include "ui/CaseSession.h"
#include "ui/CaseView.h"
#include "ui/Document.h"
#include "ui/MainWindow.h"
#include "ui/Platform.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

namespace {

// Qt sets up the view's context soon after the window is shown; the setup itself (reading the
// default models) is not bounded by this, only the wait for it to start.
constexpr int kDrawingSetupTimeoutMs = 10000;

} // namespace

Application::Application(Case& scene, Platform& platform, CaseView::RendererFactory makeRenderer)
    : scene(scene), platform(platform), makeRenderer(std::move(makeRenderer)) {}

Application::~Application() = default;

bool Application::WaitForDrawingSetup() {
    CaseView& view = frame->GetView();
    if (view.GetContextState() == CaseView::ContextState::Pending) {
        // Clicks and keys wait until the scene is ready.
        QEventLoop loop;
        QObject::connect(&view, &CaseView::contextStateKnown, &loop, &QEventLoop::quit);
        QTimer::singleShot(kDrawingSetupTimeoutMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return view.GetContextState() != CaseView::ContextState::Pending;
}

bool Application::InitInstance(const QString& documentFile) {
    GetAppInfo(); // the start directory, before anything can change it
    frame = std::make_unique<MainWindow>(scene, platform, nullptr, makeRenderer);
    // The view sets up its drawing, and reads the default models, when it is first shown; the
    // document is opened after that so the default body does not replace it.
    frame->show();
    const bool settled = WaitForDrawingSetup();
    CaseView& view = frame->GetView();
    if (view.GetContextState() == CaseView::ContextState::ModelsFailed) {
        platform.ShowMessage(nullptr, QString::fromStdString(view.GetStartupError()),
                             QStringLiteral("Info"));
        return false;
    }
    if (!settled || view.GetContextState() == CaseView::ContextState::ContextFailed) {
        platform.ShowMessage(frame.get(), QStringLiteral("SetPixelformat Failed!"),
                             QStringLiteral("Error"));
    }
    // A case a crash left unsaved is offered before anything else is opened.
    frame->GetSession().OfferRecovery();
    if (!documentFile.isEmpty()) {
        frame->GetDocument().Open(documentFile);
    }
    view.setFocus();
    return true;
}

int Application::Run(const QString& documentFile) {
    if (!InitInstance(documentFile)) {
        frame.reset();
        return 1;
    }
    return QApplication::exec();
}
