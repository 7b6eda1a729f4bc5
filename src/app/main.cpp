#include "app/cli/CommandLine.h"
#include "docs/AppInfo.h"

#include <iostream>
#include <string>
#include <vector>

#ifndef RUVO_NO_UI
#include "scene/Universe.h"
#include "ui/CRuvoApp.h"
#include "ui/QtPlatform.h"

#include <QApplication>

namespace {

int RunDesktop(int argc, char** argv, const std::string& documentFile) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ruvo"));
    QtPlatform platform;
    CRuvoApp app(Universe::Instance(), platform);
    return app.Run(QString::fromStdString(documentFile));
}

} // namespace
#endif

int main(int argc, char** argv) {
    GetAppInfo(); // records the start directory before anything can change it
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const CommandLine commandLine = ParseCommandLine(arguments);
    if (commandLine.mode != CommandLine::Mode::Desktop) {
        return RunHeadless(commandLine, std::cout, std::cerr);
    }
#ifdef RUVO_NO_UI
    std::cerr << "ruvo: this build has no desktop window\n";
    return 1;
#else
    return RunDesktop(argc, argv, commandLine.documentFile);
#endif
}
