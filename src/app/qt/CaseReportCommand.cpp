#include "app/qt/CaseReportCommand.h"

#include "app/cli/CaseLoading.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "mesh/ArrowModels.h"
#include "report/ReportWriter.h"
#include "view/ViewState.h"

#include <QGuiApplication>

#include <memory>
#include <ostream>

namespace {

// Qt's own notes (for example about a missing runtime folder) would break the rule that a
// command says nothing on success and one line on failure.
void DiscardQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

// Text layout and the PDF need a Qt application; the offscreen platform needs no display.
class OffscreenGuiApplication {
public:
    OffscreenGuiApplication() : previousHandler(qInstallMessageHandler(DiscardQtMessages)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
    ~OffscreenGuiApplication() {
        application.reset();
        qInstallMessageHandler(previousHandler);
    }
    OffscreenGuiApplication(const OffscreenGuiApplication&) = delete;
    OffscreenGuiApplication& operator=(const OffscreenGuiApplication&) = delete;

private:
    int argc = 1;
    char name[5] = "ruvo";
    char* argv[2] = {name, nullptr};
    QtMessageHandler previousHandler;
    std::unique_ptr<QGuiApplication> application;
};

} // namespace

int RunCaseReportCommand(const CommandLine& commandLine, std::ostream& err) {
    if (!ReportFormatForPath(commandLine.outputFile)) {
        err << "ruvo: the report's name must end in .pdf, .html or .json\n";
        return 2;
    }
    Case theCase;
    ArrowModels arrows;
    ReportSource source;
    // The case file is read once: the report describes and hashes the same bytes.
    std::string caseBytes;
    if (!LoadCase(commandLine, theCase, err, &arrows, &source.readingNotes, &caseBytes)) {
        return 1;
    }
    LoadCaseScene(commandLine, theCase, err, &source.readingNotes);
    const PosedCase posed(std::move(theCase));
    OffscreenGuiApplication application;
    source.caseFile = commandLine.caseFile;
    source.caseFileBytes = std::move(caseBytes);
    const ViewState view; // the switches a new window starts with
    if (const Status written = WriteCaseReport(posed, arrows, view, commandLine.outputFile, source);
        !written) {
        err << "ruvo: " << PrintableText(written.message()) << '\n';
        return 1;
    }
    return 0;
}
