#include "app/report/CaseReportCommand.h"

#include "docs/DataFile.h"
#include "report/ReportWriter.h"
#include "scene/Universe.h"

#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
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

// The model reader prints its own console lines for a file it cannot open; checking first keeps a
// wrong path or start folder to the one line of this command.
bool ModelsCanBeOpened(const Universe& scene, std::ostream& err) {
    for (const std::string& path :
         {scene.GetArrowModelFile(), scene.GetHalfArrowModelFile(), scene.GetBodyModelFile()}) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) {
            err << "ruvo: Cannot open model file \"" << path << "\": " << std::strerror(errno)
                << '\n';
            return false;
        }
        std::fclose(file);
    }
    return true;
}

} // namespace

int RunCaseReportCommand(const CommandLine& commandLine, std::ostream& err) {
    if (!ReportFormatForPath(commandLine.outputFile)) {
        err << "ruvo: the report's name must end in .pdf, .html or .json\n";
        return 2;
    }
    Universe scene;
    if (!commandLine.bodyFile.empty()) {
        scene.SetBodyModelFile(commandLine.bodyFile);
    }
    if (!ModelsCanBeOpened(scene, err)) {
        return 1;
    }
    if (const Status loaded = scene.LoadDefaultModels(); !loaded) {
        err << "ruvo: " << loaded.message() << '\n';
        return 1;
    }
    const DataFileReadResult read = DataFile(scene).Read(commandLine.caseFile);
    if (!read.ok()) {
        err << "ruvo: " << read.status.message() << '\n';
        return 1;
    }
    if (read.LeftSomethingOut()) {
        err << "ruvo: " << read.LeftOutMessage() << '\n';
    }
    OffscreenGuiApplication application;
    ReportSource source;
    source.caseFile = commandLine.caseFile;
    if (const Status written = WriteCaseReport(scene, commandLine.outputFile, source); !written) {
        err << "ruvo: " << written.message() << '\n';
        return 1;
    }
    return 0;
}
