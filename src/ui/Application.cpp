#include "ui/Application.h"

#include "base/AppInfo.h"
#include "ui/CaseSession.h"
#include "ui/MainWindow.h"
#include "ui/Platform.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

namespace {

// Qt sets up the view's context soon after the window is shown; this bounds only the wait for
// that to start.
constexpr int kDrawingSetupTimeoutMs = 10000;

} // namespace

Application::Application(Platform& thePlatform, DefaultModelFiles theModels,
                         CaseView::RendererFactory theMakeRenderer)
    : platform(thePlatform), models(std::move(theModels)),
      makeRenderer(std::move(theMakeRenderer)) {}

Application::~Application() = default;

bool Application::WaitForDrawingSetup() {
    CaseView& caseView = window->GetView();
    if (caseView.GetContextState() == CaseView::ContextState::Pending) {
        // Clicks and keys wait until the view is ready.
        QEventLoop loop;
        QObject::connect(&caseView, &CaseView::contextStateKnown, &loop, &QEventLoop::quit);
        QTimer::singleShot(kDrawingSetupTimeoutMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return caseView.GetContextState() != CaseView::ContextState::Pending;
}

Status Application::LoadDefaultModels() {
    const Status arrowsRead = arrows.Load(models.arrow, models.halfArrow);
    Status bodyRead = Status::Ok();
    // Before the window and its history exist: the editor applies the load and poses the case,
    // and nothing is recorded.
    editor.EditCase("Open body file", [this, &bodyRead](Case& edited) {
        bodyRead = edited.body.Load(models.body);
        edited.bodyModelFile = models.body;
    });
    return arrowsRead.ok() ? bodyRead : arrowsRead;
}

bool Application::InitInstance(const QString& documentFile) {
    GetAppInfo(); // the start directory, before anything can change it
    view.ViewFront();
    // Without its default models the program cannot show a case.
    if (const Status loaded = LoadDefaultModels(); !loaded) {
        platform.ShowMessage(nullptr, QString::fromStdString(loaded.message()),
                             QStringLiteral("Info"));
        return false;
    }
    window = std::make_unique<MainWindow>(editor, view, arrows, platform, nullptr, makeRenderer);
    // The view sets up its drawing when it is first shown; the document is opened after that.
    window->show();
    const bool settled = WaitForDrawingSetup();
    CaseView& caseView = window->GetView();
    if (!settled || caseView.GetContextState() == CaseView::ContextState::ContextFailed) {
        platform.ShowMessage(window.get(), QStringLiteral("SetPixelformat Failed!"),
                             QStringLiteral("Error"));
    }
    // A case a crash left unsaved is offered before anything else is opened.
    window->GetSession().OfferRecovery();
    if (!documentFile.isEmpty()) {
        window->OpenFiles({documentFile});
    }
    caseView.setFocus();
    return true;
}

int Application::Run(const QString& documentFile) {
    if (!InitInstance(documentFile)) {
        window.reset();
        return 1;
    }
    return QApplication::exec();
}
